// libFuzzer target: the bitmap decoder on arbitrary bytes.
#include <cstdlib>
#include <cstdio>

#include "fuzz/invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RgbImage image{};
    DibResult result = decode_dib(data, size, &image);
    std::string fault = image_fault(result, image);
    if (!fault.empty()) {
        std::fprintf(stderr, "unsound picture: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
