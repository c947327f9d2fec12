#pragma once
// Reflecting spheres (54-67 s and 120-139 s).
#include "timeline/scene_context.h"

void reflecting_spheres_startup(const SceneContext& ctx);
void reflecting_spheres_render(const SceneContext& ctx);
