// Any bytes into the Targa decode: it refuses or decodes, reading nothing outside them.
#include <cstddef>
#include <cstdint>

#include "textures/targa.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TargaTexture record = {};
    if (decode_targa(data, size, &record)) {
        // The block holds exactly width x height pixels.
        const size_t bytes = size_t(record.width) * record.height * (record.bitsPerPixel / 8);
        volatile uint8_t last = record.pixels[bytes - 1];
        (void)last;
        delete[] record.pixels;
    }
    return 0;
}
