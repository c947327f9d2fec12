#pragma once
// PNG files of captured frames.
#include <cstdint>
#include <string>

// Writes width by height RGB pixels given bottom row first (as glReadPixels
// returns them) as an 8-bit RGB PNG, top row first. False when it cannot.
bool write_png(const std::string& path, int width, int height, const uint8_t* rgbBottomUp);
