#pragma once
// 3D Studio mesh writer: the chunk tree a version-3 exporter writes.
#include <string>
#include <vector>

#include "bmp.h"
#include "mesh.h"

struct TdsMaterial {
    std::string name;
    Rgb8 diffuse;
    std::string map;   // bitmap file of the texture map; empty: drawn in the diffuse colour
};

enum class TdsKind { Mesh, Light, Camera };

struct TdsObject {
    std::string name;
    TdsKind kind = TdsKind::Mesh;
    std::string material;  // meshes: the one material group, covering every face
    Mesh mesh;             // meshes: points in the show's axes
    Vec position{0, 0, 0}; // lights and cameras, show axes
    Vec target{0, 0, 0};   // cameras
};

struct TdsScene {
    std::vector<TdsMaterial> materials;  // written before the objects
    std::vector<TdsObject> objects;      // in drawing order
};

// Points are converted from the show's axes to the file's: (x, y, z) -> (x, -z, y),
// the inverse of the reader's (x, y, z) -> (x, z, -y).
std::vector<uint8_t> write_3ds(const TdsScene& scene);
