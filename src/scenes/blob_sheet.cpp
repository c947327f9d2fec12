#include "scenes/blob_sheet.h"

void blob_sheet_startup(const SceneContext&) {}

void blob_sheet_render(const SceneContext&) {}
