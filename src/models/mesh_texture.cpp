// Mesh texture maps: a model slot's materials into mipmapped textures, from
// the bitmaps their texture maps name.
#include <GL/gl.h>
#include <GL/glu.h>

#include <memory>

#include "models/dib_reader.h"
#include "models/model.h"

bool load_model(const char* fileName, int slot, ModelLoader* loaders, Model* models,
                uint32_t* modelTextureTable) {
    import_3ds(loaders[slot], models[slot], fileName);  // a failed import leaves the slot empty
    return load_model_textures(slot, loaders, models, modelTextureTable);
}

// Materials from the 101st on have no entry in the slot's row and get no texture.
bool load_model_textures(int slot, ModelLoader*, Model* models, uint32_t* modelTextureTable) {
    const Model& model = models[slot];
    uint32_t* row = modelTextureTable + slot * MaterialsPerModel;
    for (int32_t i = 0; i < model.materialCount && i < MaterialsPerModel; ++i) {
        const ModelMaterial& material = model.materials[size_t(i)];
        if (material.textureFile[0] != 0 && !make_mesh_texture(row, material.textureFile, i)) return false;
    }
    return true;
}

bool make_mesh_texture(uint32_t* row, const char* fileName, int materialIndex) {
    std::unique_ptr<RgbImage> image = load_dib_image(fileName);
    if (!image) return false;  // the reader has shown its box

    GLuint name = 0;
    glGenTextures(1, &name);
    row[materialIndex] = name;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // RgbImage rows are tightly packed
    glBindTexture(GL_TEXTURE_2D, name);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height, GL_RGB, GL_UNSIGNED_BYTE,
                      image->pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return true;
}
