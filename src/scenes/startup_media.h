#pragma once
// What the scenes' start-ups load, by slot of the media table. A mesh whose
// bitmap cannot be read fails the start-up: every load after it does nothing,
// so that no box follows the failure's, and start_demo goes no further.
#include "timeline/scene_context.h"

void load_table_texture(TextureIndex index, const SceneContext& ctx);
void load_table_model(ModelSlot slot, const SceneContext& ctx);

// Whether a load has failed since the last clear_startup_failure.
bool startup_failed();
void clear_startup_failure();
