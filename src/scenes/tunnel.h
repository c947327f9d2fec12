#pragma once
// Tunnel and retreating mesh (140-159 s).
#include "timeline/scene_context.h"

void tunnel_startup(const SceneContext& ctx);
void tunnel_render(const SceneContext& ctx);
