#pragma once
// Targa files made by hand for tests: the show's accepted layout, or anything else.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// An 18-byte header of image type 2 followed by the given pixel bytes (B, G, R (, A)).
inline std::vector<uint8_t> targa_file(uint16_t width, uint16_t height, uint8_t depth,
                                       const std::vector<uint8_t>& pixels) {
    const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8),
                                depth, 0};
    std::vector<uint8_t> file(sizeof header + pixels.size());
    std::copy(header, header + sizeof header, file.begin());
    std::copy(pixels.begin(), pixels.end(), file.begin() + sizeof header);
    return file;
}

// Every pixel the colour (r, g, b, a); 24-bit files drop a.
inline std::vector<uint8_t> solid_targa(uint16_t width, uint16_t height, uint8_t depth, uint8_t r, uint8_t g,
                                        uint8_t b, uint8_t a = 255) {
    std::vector<uint8_t> pixels;
    for (int k = 0; k < width * height; ++k) {
        pixels.insert(pixels.end(), {b, g, r});
        if (depth == 32) pixels.push_back(a);
    }
    return targa_file(width, height, depth, pixels);
}

inline bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}
