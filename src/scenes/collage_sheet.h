#pragma once
// Captured collage sheet.
#include "timeline/scene_context.h"

void collage_sheet_startup(const SceneContext& ctx);
void collage_sheet_render(const SceneContext& ctx);
