#pragma once
// Reflecting spheres.
#include "timeline/scene_context.h"

void reflecting_spheres_startup(const SceneContext& ctx);
void reflecting_spheres_render(const SceneContext& ctx);
