#include "scenes/startup_media.h"

#include "textures/targa.h"

namespace {
bool Failed = false;
}  // namespace

void load_table_texture(TextureIndex index, const SceneContext& ctx) {
    if (!Failed) load_texture(index, texture_file(index), ctx.textureTable);  // a missing picture is not fatal
}

void load_table_model(ModelSlot slot, const SceneContext& ctx) {
    if (!Failed) Failed = !load_model(model_file(slot), slot, ctx.modelLoader, ctx.modelTable, ctx.modelTextureTable);
}

bool startup_failed() { return Failed; }
void clear_startup_failure() { Failed = false; }
