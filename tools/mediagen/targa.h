#pragma once
// Targa writer: uncompressed true-colour (type 2), no image ID, no colour map,
// origin (0, 0), rows stored bottom row first as the format's default.
#include <cstdint>
#include <vector>

// pixels: R, G, B (24 bits) or R, G, B, A (32 bits) per pixel, top row first.
std::vector<uint8_t> write_targa(const std::vector<uint8_t>& pixels, int width, int height, int bits);
