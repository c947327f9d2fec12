#include "scenes/funnel_sheets.h"

void funnel_sheets_startup(const SceneContext&) {}

void funnel_sheets_render(const SceneContext&) {}
