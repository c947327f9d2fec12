// Mesh drawing: every object of a slot as one run of triangles, textured
// objects white with their texture, the others in their material's colour.
#include <GL/gl.h>

#include "models/model.h"

namespace {

// A textured object's material has no entry in the slot's row when its last
// group matched nothing (-1) or the row is full.
bool has_row_entry(const ModelObject& object) {
    return object.materialIndex >= 0 && object.materialIndex < MaterialsPerModel;
}

// The material colour of an untextured object, or null: drawn white.
const unsigned char* object_colour(const Model& model, const ModelObject& object) {
    if (object.materialIndex < 0 || object.materialIndex >= model.materialCount) return nullptr;
    return model.materials[size_t(object.materialIndex)].colour;
}

void draw_object(const Model& model, const ModelObject& object, const uint32_t* row) {
    const unsigned char* colour = nullptr;
    if (object.hasTexture) {
        glEnable(GL_TEXTURE_2D);
        glColor3ub(255, 255, 255);
        if (has_row_entry(object)) glBindTexture(GL_TEXTURE_2D, row[object.materialIndex]);
    } else {
        glDisable(GL_TEXTURE_2D);
        glColor3ub(255, 255, 255);
        colour = object_colour(model, object);
    }
    glBegin(GL_TRIANGLES);
        for (const ModelFace& face : object.faces) {
            for (int32_t v : {face.a, face.b, face.c}) {
                const Vec3& n = object.normals[size_t(v)];
                glNormal3f(n.x, n.y, n.z);
                if (object.hasTexture) {
                    // Vertices past the texture coordinates get none, as objects without any.
                    if (v < object.texCoordCount) {
                        const TexCoord& t = object.texCoords[size_t(v)];
                        glTexCoord2f(t.u, t.v);
                    }
                } else if (colour) {
                    glColor3ub(colour[0], colour[1], colour[2]);
                }
                const Vec3& p = object.vertices[size_t(v)];
                glVertex3f(p.x, p.y, p.z);
            }
        }
    glEnd();
}

}  // namespace

void draw_model(int slot, ModelLoader*, Model* models, const uint32_t* modelTextureTable) {
    const Model& model = models[slot];
    const uint32_t* row = modelTextureTable + slot * MaterialsPerModel;
    for (int32_t i = 0; i < model.objectCount; ++i) draw_object(model, model.objects[size_t(i)], row);
}
