#pragma once
// Funnel with wave sheets.
#include "timeline/scene_context.h"

void funnel_sheets_startup(const SceneContext& ctx);
void funnel_sheets_render(const SceneContext& ctx);
