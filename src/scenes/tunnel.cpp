#include "scenes/tunnel.h"

void tunnel_startup(const SceneContext&) {}

void tunnel_render(const SceneContext&) {}
