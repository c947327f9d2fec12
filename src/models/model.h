#pragma once
// Model records: one imported 3D Studio mesh per model slot.
#include <cstdint>
#include <cstdio>
#include <vector>

struct Vec3 { float x, y, z; };
struct TexCoord { float u, v; };
struct ModelFace { int32_t a, b, c; };  // vertex indices in file order

struct ModelMaterial {
    char name[255];          // zero-terminated, 254 characters at most
    char textureFile[255];   // bitmap file of the texture map; empty when none
    unsigned char colour[3]; // diffuse R, G, B
};

struct ModelObject {
    int32_t vertexCount;
    int32_t faceCount;
    int32_t texCoordCount;
    int32_t materialIndex;   // -1: named material not found; 0 when none named
    bool hasTexture;         // set once a matched material has a texture file; never cleared
    char name[255];
    std::vector<Vec3> vertices;      // show axes: file (x, y, z) -> (x, z, -y)
    std::vector<Vec3> normals;       // unit vertex normals
    std::vector<TexCoord> texCoords; // indexed by vertex; empty when the file has none
    std::vector<ModelFace> faces;
};

struct Model {
    int32_t objectCount = 0;
    int32_t materialCount = 0;
    std::vector<ModelMaterial> materials;
    std::vector<ModelObject> objects;
};

struct Chunk {
    uint16_t id;
    uint32_t length;     // whole chunk, 6-byte header included
    uint32_t bytesRead;  // consumed so far, header included
};

// The reader's state for one model slot; serves exactly one import.
struct ModelLoader {
    FILE* file = nullptr;
    Chunk* current = nullptr;
    Chunk* scratch = nullptr;
};
