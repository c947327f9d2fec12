#pragma once
// Targa textures: one entry of the show's texture table.
#include <cstdint>

struct TargaTexture {
    unsigned char* pixels;   // decoded rows in file order, R G B (A); kept after upload
    uint32_t bitsPerPixel;   // 24 or 32
    uint32_t width;          // pixels
    uint32_t height;         // pixels
    uint32_t glName;         // OpenGL texture name; what binding uses
};

