#pragma once
// Device-independent bitmaps (BMP, with or without the 14-byte file header,
// 40- or 12-byte bitmap header; 1, 4, 8 bits through the colour table, 16,
// 24, 32 bits direct, RLE8 and RLE4) into 24-bit R, G, B pictures.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct RgbImage {
    int32_t width;                // pixels per row
    int32_t height;               // rows; a top-down bitmap is turned right way up
    std::vector<uint8_t> pixels;  // width x height x 3 bytes: R, G, B rows, bottom row first, no fill
};

// The bitmap header in its 40-byte form; a 12-byte core header is widened to it.
struct DibHeader {
    uint32_t size;             // 40 or 12, as the file gives it
    int32_t width;
    int32_t height;            // negative: rows stored top row first
    uint16_t planes;
    uint16_t bitsPerPixel;
    uint32_t compression;      // 0 none, 1 RLE8, 2 RLE4, 3 bit-field masks
    uint32_t imageSize;
    int32_t xResolution;
    int32_t yResolution;
    uint32_t coloursUsed;
    uint32_t coloursImportant;
};

// Colour-table entries: for a 40-byte header colours-used when not zero (as
// an unsigned 16-bit value); otherwise 2, 16 or 256 for 1, 4 or 8 bits, else 0.
uint32_t dib_colour_count(const DibHeader& header);

// The four refusals, each with its own message.
enum class DibResult { Ok, OpenFailed, UnknownFormat, OutOfMemory, ConversionError };

// Reads the headers only (colour table included), widened to 40 bytes.
DibResult read_dib_header(const uint8_t* bytes, size_t size, DibHeader* header);

// Decodes a whole bitmap file held in memory; checks the headers, the
// dimensions and every offset before it allocates. On failure *image is untouched.
DibResult decode_dib(const uint8_t* bytes, size_t size, RgbImage* image);

// Reads a bitmap file. Null after one box with caption "Error", owned by
// the window with keyboard focus.
std::unique_ptr<RgbImage> load_dib_image(const char* fileName);
