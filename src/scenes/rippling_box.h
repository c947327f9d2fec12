#pragma once
// Rippling box: backdrop and a tumbling box of rippling walls.
#include "timeline/scene_context.h"

void rippling_box_startup(const SceneContext& ctx);
void rippling_box_render(const SceneContext& ctx);
