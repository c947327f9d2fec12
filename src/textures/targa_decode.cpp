// Targa decode: the show's one accepted layout, validated before anything is
// allocated; every read bounded by the bytes at hand.
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "platform/byte_reader.h"
#include "textures/targa.h"

namespace {
// ID length 0, no colour map, type 2 (uncompressed true-colour), colour-map
// fields and x, y origin all zero.
const uint8_t AcceptedBlock[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}  // namespace

bool decode_targa(const uint8_t* data, size_t size, TargaTexture* record) {
    ByteReader in(data, size);
    uint8_t block[12];
    if (!in.bytes(block, sizeof block) || std::memcmp(block, AcceptedBlock, sizeof block) != 0) return false;
    uint16_t width, height;
    uint8_t depth, descriptor;
    if (!in.u16(&width) || !in.u16(&height) || !in.u8(&depth) || !in.u8(&descriptor)) return false;
    // The size is stored before it is judged; a refused file leaves it there.
    record->width = width;
    record->height = height;
    if (width == 0 || height == 0 || (depth != 24 && depth != 32)) return false;
    const uint32_t bytesPerPixel = depth / 8u;
    const uint64_t byteCount = uint64_t(width) * height * bytesPerPixel;
    if (byteCount > UINT32_MAX) return false;

    record->bitsPerPixel = depth;
    if (byteCount > in.remaining()) {
        record->pixels = nullptr;
        return false;
    }
    std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[byteCount]);
    if (!pixels || !in.bytes(pixels.get(), byteCount)) {
        record->pixels = nullptr;
        return false;
    }
    // Blue, green, red (alpha) into red, green, blue (alpha).
    for (uint64_t at = 0; at < byteCount; at += bytesPerPixel) std::swap(pixels[at], pixels[at + 2]);
    record->pixels = pixels.release();
    return true;
}
