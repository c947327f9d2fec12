#include "scenes/collage_sheet.h"

void collage_sheet_startup(const SceneContext&) {}

void collage_sheet_render(const SceneContext&) {}
