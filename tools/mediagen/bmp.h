#pragma once
// Device-independent bitmap writer, every file with the 14-byte file header.
#include <array>
#include <cstdint>
#include <vector>

using Rgb8 = std::array<uint8_t, 3>;

enum class BmpEncoding {
    Indexed8,      // 40-byte header, 8 bits per pixel through the colour table
    Rle8,          // 40-byte header, 8-bit run-length encoded
    Indexed4,      // 40-byte header, 4 bits per pixel (16 colours)
    Core8,         // 12-byte core header, 8 bits per pixel, 3-byte colour entries
};

// rgb: R, G, B per pixel, top row first.
std::vector<uint8_t> write_bmp_rgb24(const std::vector<uint8_t>& rgb, int width, int height);
// indices: one palette index per pixel, top row first; palette up to 256
// entries (16 for Indexed4).
std::vector<uint8_t> write_bmp_indexed(const std::vector<Rgb8>& palette, const std::vector<uint8_t>& indices,
                                       int width, int height, BmpEncoding encoding);
// One row of 8-bit indices as RLE8 pairs, without the end-of-line marker.
std::vector<uint8_t> encode_rle8_row(const uint8_t* row, int width);
