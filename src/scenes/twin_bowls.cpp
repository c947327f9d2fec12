#include "scenes/twin_bowls.h"

void twin_bowls_startup(const SceneContext&) {}

void twin_bowls_render(const SceneContext&) {}
