#pragma once
// Twin bowls and sinking mesh.
#include "timeline/scene_context.h"

// The mesh's height: 10 from the start-up on, 0.007 lower each frame of the
// scene, without limit.
extern float SinkingMeshHeight;

void twin_bowls_startup(const SceneContext& ctx);
void twin_bowls_render(const SceneContext& ctx);
