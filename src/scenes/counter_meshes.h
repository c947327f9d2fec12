#pragma once
// Counter-rotating meshes.
#include "timeline/scene_context.h"

void counter_meshes_startup(const SceneContext& ctx);
void counter_meshes_render(const SceneContext& ctx);
