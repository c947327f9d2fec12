#pragma once
// PNG files of captured frames and of the contact sheet.
#include <cstdint>
#include <string>
#include <vector>

// Writes width by height RGB pixels, top row first, as an 8-bit RGB PNG.
// False when it cannot.
bool write_png(const std::string& path, int width, int height, const uint8_t* rgbTopDown);

// A frame as glReadPixels gives it (BGRA, bottom row first) as RGB, top row first.
void frame_to_rgb(const uint8_t* bgraBottomUp, int width, int height, std::vector<uint8_t>* rgb);
