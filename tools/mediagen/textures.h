#pragma once
// The show's Targa textures and the bitmaps its meshes name: recipes that
// draw each picture, and the encoding each file is written in.
#include <string>
#include <vector>

#include "bmp.h"
#include "texture_ops.h"
#include "timeline/media_table.h"

struct TextureRecipe {
    TextureIndex index; // the table slot the show loads it into, and so its file
    int size;           // width = height, a power of two
    int bits;           // 24, or 32 with a meaningful alpha
    Image (*draw)(int size);
};
const std::vector<TextureRecipe>& targa_recipes();

// A mesh bitmap: the picture as palette indices (or RGB for 24 bits).
struct MeshBitmap {
    int width = 0, height = 0;
    std::vector<Rgb8> palette;      // empty for 24 bits
    std::vector<uint8_t> indices;   // top row first
    std::vector<uint8_t> rgb;       // 24 bits only, top row first
};
struct BitmapRecipe {
    const char* file;
    BmpEncoding encoding;
    bool truecolour;                // 24-bit file; encoding ignored
    MeshBitmap (*draw)();
};
const std::vector<BitmapRecipe>& bitmap_recipes();

// The decoded picture of a mesh bitmap as R, G, B bytes, top row first.
std::vector<uint8_t> bitmap_rgb(const MeshBitmap& bmp);
