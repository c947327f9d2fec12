#include "scenes/reflecting_spheres.h"

void reflecting_spheres_startup(const SceneContext&) {}

void reflecting_spheres_render(const SceneContext&) {}
