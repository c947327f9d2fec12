// The bitmap reader: decodes every encoding of the 40- and 12-byte headers by
// hand into R, G, B rows, bottom row first. Validation comes first, in order:
// signature, header and colour table, dimensions and size product, depth and
// compression, pixel offsets; only then is the picture allocated.
#include "models/dib_reader.h"

#include <cstdio>
#include <new>

#include "platform/byte_reader.h"
#include "platform/platform.h"

namespace {

enum Compression : uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t CoreHeaderSize = 12;
constexpr uint64_t MaxPictureBytes = 0x7FFFFFFF;  // width x height x 3 in a signed 32-bit value
// An RLE stream may leave most of its picture black (end of line, end of
// bitmap, deltas), so any picture up to 4096 x 4096 is taken whatever its
// stream; past that a tiny file may not ask for gigabytes: a larger picture
// needs a stream of at least one byte per 128 pixels (a run pair paints 255).
constexpr uint64_t RleFreePixels = 4096 * 4096;
constexpr uint64_t RlePixelsPerByte = 128;

struct Rgb8 { uint8_t r, g, b; };

struct DibLayout {
    DibHeader header;
    uint32_t masks[3];           // R, G, B bit fields of 16- and 32-bit pixels
    std::vector<Rgb8> palette;   // dib_colour_count entries
    size_t pixelOffset;          // from the start of the file
};

bool read_info_header(ByteReader& in, DibHeader* h) {
    return in.i32(&h->width) && in.i32(&h->height) && in.u16(&h->planes) && in.u16(&h->bitsPerPixel) &&
           in.u32(&h->compression) && in.u32(&h->imageSize) && in.i32(&h->xResolution) &&
           in.i32(&h->yResolution) && in.u32(&h->coloursUsed) && in.u32(&h->coloursImportant);
}

bool read_core_header(ByteReader& in, DibHeader* h) {
    uint16_t width, height;
    if (!(in.u16(&width) && in.u16(&height) && in.u16(&h->planes) && in.u16(&h->bitsPerPixel))) return false;
    h->width = width;
    h->height = height;
    return true;
}

// Headers, masks and colour table; the pixel offset is checked later.
DibResult read_layout(ByteReader& in, DibLayout* layout) {
    DibHeader& h = layout->header;
    h = DibHeader{};
    bool fileHeader = in.size() >= 2 && in.here()[0] == 'B' && in.here()[1] == 'M';
    uint32_t pixelOffset = 0;
    if (fileHeader && !(in.skip(10) && in.u32(&pixelOffset))) return DibResult::UnknownFormat;
    if (!in.u32(&h.size)) return DibResult::UnknownFormat;
    bool read = h.size == InfoHeaderSize ? read_info_header(in, &h)
              : h.size == CoreHeaderSize ? read_core_header(in, &h)
              : false;
    if (!read) return DibResult::UnknownFormat;

    uint32_t colours = dib_colour_count(h);
    if (h.size == CoreHeaderSize) h.coloursUsed = h.coloursImportant = colours;
    const uint32_t defaultMasks[2][3] = {{0x7C00, 0x03E0, 0x001F}, {0xFF0000, 0x00FF00, 0x0000FF}};
    for (int i = 0; i < 3; ++i) layout->masks[i] = defaultMasks[h.bitsPerPixel == 32][i];
    if (h.size == InfoHeaderSize && h.compression == BitFields) {
        for (uint32_t& mask : layout->masks) {
            if (!in.u32(&mask)) return DibResult::UnknownFormat;
        }
    }
    size_t entrySize = h.size == CoreHeaderSize ? 3 : 4;
    if (size_t(colours) * entrySize > in.remaining()) return DibResult::UnknownFormat;
    layout->palette.resize(colours);
    for (Rgb8& entry : layout->palette) {
        uint8_t bgr[4] = {};  // the size was checked above; GCC at -O3 cannot see it
        in.bytes(bgr, entrySize);
        entry = {bgr[2], bgr[1], bgr[0]};
    }
    layout->pixelOffset = fileHeader ? pixelOffset : in.position();
    return DibResult::Ok;
}

bool depth_matches_compression(const DibHeader& h) {
    switch (h.compression) {
    case Rgb: return h.bitsPerPixel == 1 || h.bitsPerPixel == 4 || h.bitsPerPixel == 8 || h.bitsPerPixel == 16 ||
                     h.bitsPerPixel == 24 || h.bitsPerPixel == 32;
    case Rle8: return h.bitsPerPixel == 8 && h.height > 0;
    case Rle4: return h.bitsPerPixel == 4 && h.height > 0;
    case BitFields: return h.size == InfoHeaderSize && (h.bitsPerPixel == 16 || h.bitsPerPixel == 32);
    default: return false;
    }
}

uint64_t rows_of(const DibHeader& h) { return h.height < 0 ? uint64_t(-int64_t(h.height)) : uint64_t(h.height); }

uint64_t stride_of(const DibHeader& h) { return (uint64_t(h.bitsPerPixel) * uint64_t(h.width) + 31) / 32 * 4; }

// Depth, dimensions, the size of the picture and where its pixels lie.
DibResult check_picture(const DibLayout& layout, size_t fileSize) {
    const DibHeader& h = layout.header;
    // No 24-bit target can be made for an empty or oversized picture; that
    // failure comes before any conversion is tried, whatever the encoding.
    if (h.width <= 0 || h.height == 0) return DibResult::OutOfMemory;
    uint64_t pixelCount = uint64_t(h.width) * rows_of(h);
    if (pixelCount * 3 > MaxPictureBytes) return DibResult::OutOfMemory;
    if (!depth_matches_compression(h)) return DibResult::ConversionError;
    if (layout.pixelOffset > fileSize) return DibResult::ConversionError;
    uint64_t available = fileSize - layout.pixelOffset;
    bool rle = h.compression == Rle8 || h.compression == Rle4;
    bool tooSparse = pixelCount > RleFreePixels && pixelCount > RlePixelsPerByte * available;
    if (rle ? tooSparse : stride_of(h) * rows_of(h) > available) {
        return DibResult::ConversionError;
    }
    return DibResult::Ok;
}

// ---- Pixel decoders: out holds width x rows x 3 bytes, zero (black) to start.

struct Picture {
    const DibLayout& layout;
    uint8_t* out;
    int64_t width;
    int64_t rows;

    // Writes colour-table entry index at (x, y), y counted from the bottom row;
    // outside the picture, or past the table, nothing or black.
    void put_index(int64_t x, int64_t y, uint32_t index) {
        if (x < 0 || x >= width || y < 0 || y >= rows) return;
        Rgb8 c = index < layout.palette.size() ? layout.palette[index] : Rgb8{0, 0, 0};
        uint8_t* p = out + (y * width + x) * 3;
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
};

// One channel of a bit-field pixel in 8 bits, as the platform's conversion
// gives it: a wider field keeps its top 8 bits; a narrower one is shifted up
// and its top bits repeated below, so a full 5-bit field is 255, not 248.
uint8_t channel(uint32_t pixel, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = __builtin_ctz(mask);
    int bits = 32 - __builtin_clz(mask >> shift);
    uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return uint8_t(value >> (bits - 8));
    uint32_t high = value << (8 - bits);
    return uint8_t(high | high >> bits);
}

void decode_row(const uint8_t* src, int64_t y, Picture& picture) {
    const DibLayout& layout = picture.layout;
    int bits = layout.header.bitsPerPixel;
    uint8_t* dst = picture.out + y * picture.width * 3;
    for (int64_t x = 0; x < picture.width; ++x, dst += 3) {
        if (bits <= 8) {
            int64_t bit = x * bits;
            uint32_t index = (src[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
            picture.put_index(x, y, index);
        } else if (bits == 24) {
            const uint8_t* s = src + x * 3;
            dst[0] = s[2];
            dst[1] = s[1];
            dst[2] = s[0];
        } else {
            const uint8_t* s = src + x * (bits / 8);
            uint32_t pixel = bits == 16 ? uint32_t(s[0] | s[1] << 8)
                                        : uint32_t(s[0]) | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16 |
                                              uint32_t(s[3]) << 24;
            for (int c = 0; c < 3; ++c) dst[c] = channel(pixel, layout.masks[c]);
        }
    }
}

// Uncompressed rows, each filled to a multiple of 4 bytes; check_picture has
// made sure that all of them lie in the file.
void decode_rows(ByteReader& in, Picture& picture) {
    const DibHeader& h = picture.layout.header;
    std::vector<uint8_t> row(size_t(stride_of(h)));
    for (int64_t r = 0; r < picture.rows; ++r) {
        if (!in.bytes(row.data(), row.size())) return;
        int64_t y = h.height < 0 ? picture.rows - 1 - r : r;
        decode_row(row.data(), y, picture);
    }
}

// RLE8 and RLE4: runs, absolute runs and the three escapes (end of line, end
// of bitmap, delta). Runs and deltas are clipped to the picture; pixels the
// stream never reaches stay black.
void decode_rle(ByteReader& in, Picture& picture) {
    bool nibbles = picture.layout.header.compression == Rle4;
    int64_t x = 0, y = 0;
    uint8_t count, value;
    while (y < picture.rows && in.u8(&count) && in.u8(&value)) {
        if (count > 0) {  // a run: one index, or two alternating nibbles
            for (int i = 0; i < count; ++i, ++x) {
                picture.put_index(x, y, nibbles ? (i % 2 ? value & 15u : value >> 4u) : value);
            }
        } else if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            return;
        } else if (value == 2) {  // delta: right dx, up dy
            uint8_t dx, dy;
            if (!(in.u8(&dx) && in.u8(&dy))) return;
            x += dx;
            y += dy;
        } else {  // absolute run of value indices, padded to a 16-bit boundary
            size_t bytes = nibbles ? (value + 1u) / 2 : value;
            uint8_t byte = 0;
            for (int i = 0; i < value; ++i, ++x) {
                if ((!nibbles || i % 2 == 0) && !in.u8(&byte)) return;
                picture.put_index(x, y, nibbles ? (i % 2 ? byte & 15u : byte >> 4u) : byte);
            }
            if (bytes % 2) in.skip(1);
        }
    }
}

const char* message_for(DibResult result) {
    switch (result) {
    case DibResult::UnknownFormat: return "Unknown DIB file format.";
    case DibResult::OutOfMemory: return "Out of memory.";
    case DibResult::ConversionError: return "Image file conversion error.";
    default: return nullptr;
    }
}

}  // namespace

uint32_t dib_colour_count(const DibHeader& header) {
    if (header.size == InfoHeaderSize && header.coloursUsed != 0) return header.coloursUsed & 0xFFFF;
    switch (header.bitsPerPixel) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

DibResult read_dib_header(const uint8_t* bytes, size_t size, DibHeader* header) {
    ByteReader in(bytes, size);
    DibLayout layout;
    DibResult result = read_layout(in, &layout);
    if (result == DibResult::Ok) *header = layout.header;
    return result;
}

DibResult decode_dib(const uint8_t* bytes, size_t size, RgbImage* image) {
    ByteReader in(bytes, size);
    DibLayout layout;
    DibResult result = read_layout(in, &layout);
    if (result == DibResult::Ok) result = check_picture(layout, size);
    if (result != DibResult::Ok) return result;

    const DibHeader& h = layout.header;
    std::vector<uint8_t> pixels;
    try {
        pixels.assign(size_t(h.width) * rows_of(h) * 3, 0);
    } catch (const std::bad_alloc&) {
        return DibResult::OutOfMemory;
    }
    Picture picture{layout, pixels.data(), h.width, int64_t(rows_of(h))};
    in.seek(layout.pixelOffset);
    if (h.compression == Rle8 || h.compression == Rle4) {
        decode_rle(in, picture);
    } else {
        decode_rows(in, picture);
    }
    image->width = h.width;
    image->height = int32_t(picture.rows);
    image->pixels = std::move(pixels);
    return DibResult::Ok;
}

std::unique_ptr<RgbImage> load_dib_image(const char* fileName) {
    std::vector<uint8_t> bytes;
    DibResult result = DibResult::OpenFailed;
    auto image = std::make_unique<RgbImage>();
    if (read_file_bytes(fileName, &bytes) && !bytes.empty()) result = decode_dib(bytes.data(), bytes.size(), image.get());
    if (result == DibResult::Ok) return image;

    char text[256];
    if (result == DibResult::OpenFailed) {
        std::snprintf(text, sizeof text, "Failed to open DIB file %s.\n", fileName);
    } else {
        std::snprintf(text, sizeof text, "%s", message_for(result));
    }
    platform::show_message(text, "Error", platform::Buttons::Ok, true);
    return nullptr;
}
