#pragma once
// What every decode must give, whatever the bytes: checked by the fuzz
// targets after each run and by the replay of their crashing inputs.
#include <cmath>
#include <string>

#include "models/dib_reader.h"
#include "models/model.h"

// Empty when the model is sound: counts match arrays, faces name existing
// vertices, normals are finite and of unit length.
inline std::string model_fault(const Model& model) {
    if (model.objects.size() != size_t(model.objectCount) || model.materials.size() != size_t(model.materialCount)) {
        return "counts differ from the arrays";
    }
    for (const ModelObject& o : model.objects) {
        if (o.vertices.size() != size_t(o.vertexCount) || o.normals.size() != size_t(o.vertexCount) ||
            o.faces.size() != size_t(o.faceCount) || o.texCoords.size() != size_t(o.texCoordCount)) {
            return std::string("array sizes of ") + o.name;
        }
        for (const ModelFace& f : o.faces) {
            if (f.a < 0 || f.b < 0 || f.c < 0 || f.a >= o.vertexCount || f.b >= o.vertexCount || f.c >= o.vertexCount) {
                return std::string("face past the vertices of ") + o.name;
            }
        }
        for (const Vec3& n : o.normals) {
            float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
            if (!std::isfinite(length) || std::fabs(length - 1.0f) > 1e-3f) return std::string("normal of ") + o.name;
        }
    }
    return "";
}

// Empty when a decoded picture is sound.
inline std::string image_fault(DibResult result, const RgbImage& image) {
    if (result != DibResult::Ok) return "";
    if (image.width <= 0 || image.height <= 0) return "empty picture accepted";
    if (image.pixels.size() != size_t(image.width) * size_t(image.height) * 3) return "pixel count";
    return "";
}
