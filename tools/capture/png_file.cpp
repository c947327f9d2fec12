// PNG writing through libpng's simplified interface.
#include "png_file.h"

#include <png.h>

#include <cstring>

bool write_png(const std::string& path, int width, int height, const uint8_t* rgbTopDown) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    const bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgbTopDown, 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

void frame_to_rgb(const uint8_t* bgraBottomUp, int width, int height, std::vector<uint8_t>* rgb) {
    rgb->resize(size_t(width) * height * 3);
    uint8_t* out = rgb->data();
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* in = bgraBottomUp + size_t(y) * width * 4;
        for (int x = 0; x < width; ++x, in += 4, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
}
