// PNG writing through libpng's simplified interface.
#include "png_file.h"

#include <png.h>

#include <cstring>

bool write_png(const std::string& path, int width, int height, const uint8_t* rgbBottomUp) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    // A negative row stride hands libpng the last row first: the flip to top-down.
    const png_int_32 stride = -png_int_32(PNG_IMAGE_ROW_STRIDE(image));
    const bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgbBottomUp, stride, nullptr) != 0;
    png_image_free(&image);
    return ok;
}
