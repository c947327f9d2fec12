#include "scenes/rippling_box.h"

void rippling_box_startup(const SceneContext&) {}

void rippling_box_render(const SceneContext&) {}
