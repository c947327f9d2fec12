#pragma once
// Model records: one imported 3D Studio mesh per model slot, the reader that
// fills them, their textures and their drawing.
#include <cstddef>
#include <cstdint>
#include <vector>

class ByteReader;

// A model slot's row of ModelTextureTable: the texture of material m is entry m.
constexpr int MaterialsPerModel = 100;

struct Vec3 { float x, y, z; };
struct TexCoord { float u, v; };
struct ModelFace { int32_t a, b, c; };  // vertex indices in file order, each below vertexCount

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
    ByteReader* file = nullptr;  // the whole mesh file, in memory while importing
    Chunk* current = nullptr;    // the chunk last read at the level being processed
    Chunk scratch{};             // look-ahead reads: the mesh version and colour sub-chunks
    int depth = 0;               // chunk levels open; deep nesting ends a level
};

// ---- 3D Studio reader (import_3ds.cpp). Both need an empty model and an
// unused loader. False, after the show's error box, when the file cannot be
// read or is no mesh file; a file that ends early keeps what was read.
bool import_3ds(ModelLoader& loader, Model& model, const char* fileName);
// The same from bytes already in memory; fileName only names it in messages.
bool import_3ds_bytes(ModelLoader& loader, Model& model, const uint8_t* bytes, size_t size,
                      const char* fileName);
// Unit vertex normals: per vertex the area-weighted sum of its faces' normals
// (right-hand rule over P0, P1, P2), summed in face order. A vertex without
// such a sum gets (0, 1, 0).
void compute_vertex_normals(Model& model);

// ---- Mesh textures (mesh_texture.cpp); need a current GL context.
// Imports fileName into the slot, then makes its materials' textures. False
// when a bitmap could not be read: a show with a texture missing never
// starts, and its start-up goes no further.
bool load_model(const char* fileName, int slot, ModelLoader* loaders, Model* models,
                uint32_t* modelTextureTable);
// One mipmapped texture per material with a texture file, for the first
// MaterialsPerModel materials, up to the first bitmap that cannot be read (false).
bool load_model_textures(int slot, ModelLoader* loaders, Model* models, uint32_t* modelTextureTable);
// Reads the bitmap into a new texture named in row[materialIndex]; false,
// with no texture made, when it cannot be read (after the reader's box).
// Leaves the texture bound and GL_UNPACK_ALIGNMENT at 1.
bool make_mesh_texture(uint32_t* row, const char* fileName, int materialIndex);

// ---- Drawing (draw_model.cpp): immediate mode, in the caller's matrices.
// Changes only GL_TEXTURE_2D, the 2D binding and the current colour, normal
// and texture coordinate, and leaves them as the last object drew them.
void draw_model(int slot, ModelLoader* loaders, Model* models, const uint32_t* modelTextureTable);
