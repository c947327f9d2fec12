#include "scenes/counter_meshes.h"

void counter_meshes_startup(const SceneContext&) {}

void counter_meshes_render(const SceneContext&) {}
