#pragma once
// Blob sheet with caption.
#include "timeline/scene_context.h"

void blob_sheet_startup(const SceneContext& ctx);
void blob_sheet_render(const SceneContext& ctx);
