#pragma once
// Targa textures: one entry of the show's texture table, the GL-free decode of
// a Targa file and its upload as an OpenGL texture.
#include <cstddef>
#include <cstdint>

struct TargaTexture {
    unsigned char* pixels;   // decoded rows in file order, R G B (A); kept after upload
    uint32_t bitsPerPixel;   // 24 or 32
    uint32_t width;          // pixels
    uint32_t height;         // pixels
    uint32_t glName;         // OpenGL texture name; what binding uses
};

// Decodes an uncompressed true-colour Targa file held in memory into *record.
// Accepts only the show's one header layout (image type 2, no ID, no colour
// map, origin 0, 24 or 32 bits, non-zero size whose byte count fits 32 bits).
// What a refusal leaves in the record:
//   header short or wrong:         nothing written
//   size, byte count or depth:     width and height written
//   pixel block short:             width, height, bitsPerPixel written, pixels null
// On success pixels is a new[] block owned by the record (B and R swapped);
// an earlier block is not released. glName is never touched.
bool decode_targa(const uint8_t* data, size_t size, TargaTexture* record);

// Reads the file (relative to the working folder), decodes it and makes a
// linear-filtered texture of one level into glName, which stays bound.
// False, with no texture made, when the file cannot be read or is refused.
bool load_targa(TargaTexture* record, const char* fileName);

// load_targa on entry index of the table, after releasing the entry's
// earlier picture; the show ignores the result.
bool load_texture(int index, const char* fileName, TargaTexture* table);
