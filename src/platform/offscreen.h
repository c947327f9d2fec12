#pragma once
// An offscreen OpenGL context for tests and tools: Mesa's surfaceless EGL
// platform (or a GPU's EGL), a pbuffer, and a compatibility context current
// on the calling thread, so the show's own drawing code runs without a window.
#include <string>

namespace platform {

// Returns false and fills *error when no such context can be made.
bool open_offscreen_context(int width, int height, std::string* error);
void close_offscreen_context();

}  // namespace platform
