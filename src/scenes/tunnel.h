#pragma once
// Tunnel and retreating mesh.
#include "timeline/scene_context.h"

// The mesh's distance: -5 from the start-up on, 0.01 further each frame of
// the scene while above -8.
extern float TunnelMeshDistance;

void tunnel_startup(const SceneContext& ctx);
void tunnel_render(const SceneContext& ctx);
