#pragma once
// Twin bowls and sinking mesh (160-219 s).
#include "timeline/scene_context.h"

void twin_bowls_startup(const SceneContext& ctx);
void twin_bowls_render(const SceneContext& ctx);
