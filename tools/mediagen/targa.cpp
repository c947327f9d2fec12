#include "targa.h"

#include "byte_writer.h"

std::vector<uint8_t> write_targa(const std::vector<uint8_t>& pixels, int width, int height, int bits) {
    const int bpp = bits / 8;
    ByteWriter out;
    out.u8(0);   // image ID length
    out.u8(0);   // no colour map
    out.u8(2);   // uncompressed true-colour
    for (int i = 0; i < 5; ++i) out.u8(0);  // colour-map specification
    out.u16(0);  // x origin
    out.u16(0);  // y origin
    out.u16(width);
    out.u16(height);
    out.u8(bits);
    out.u8(bits == 32 ? 8 : 0);  // alpha bits; bit 5 clear: bottom row first
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &pixels[(size_t(y) * width + x) * bpp];
            out.u8(p[2]);
            out.u8(p[1]);
            out.u8(p[0]);
            if (bpp == 4) out.u8(p[3]);
        }
    return out.take();
}
