// Texture uploads in the forms WebGL 1 takes: the internal format equal to
// the pixel format, bytes per component, and mipmaps only for power-of-two
// sizes. gluBuild2DMipmaps is built here as GLU builds it: the picture scaled
// to GLU's power of two (a box filter), then each level the rounded mean of
// the 2 x 2 texels above it (the mean of two once a side is 1).
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/web/gl_compat.h"

namespace {

int components_of(GLenum format) {
    switch (format) {
    case GL_ALPHA:
    case GL_LUMINANCE:
    case GL_RED:
    case GL_GREEN:
    case GL_BLUE:
        return 1;
    case GL_LUMINANCE_ALPHA: return 2;
    case GL_RGB: return 3;
    case GL_RGBA: return 4;
    default: return 0;
    }
}

// The legacy component counts 1 to 4 name the base formats.
GLenum base_format(GLint internalFormat, GLenum format) {
    switch (internalFormat) {
    case 1: return GL_LUMINANCE;
    case 2: return GL_LUMINANCE_ALPHA;
    case 3: return GL_RGB;
    case 4: return GL_RGBA;
    default: return components_of(GLenum(internalFormat)) ? GLenum(internalFormat) : format;
    }
}

// GLU's nearest power of two: 3 x 2^k rounds up, every other size down.
int nearest_power(int value) {
    int power = 1;
    unsigned v = unsigned(value);
    for (;;) {
        if (v == 1) return power;
        if (v == 3) return power * 4;
        v >>= 1;
        power *= 2;
    }
}

struct Image {
    int width = 0, height = 0, components = 0;
    std::vector<uint8_t> texels;  // tight rows, bottom row first as uploaded
    const uint8_t* at(int x, int y) const { return &texels[(size_t(y) * width + x) * components]; }
};

// Area-weighted box filter onto a new size, each texel the mean of the source
// area it covers, truncated as GLU stores it.
Image scale_box(const Image& in, int width, int height) {
    Image out{width, height, in.components, std::vector<uint8_t>(size_t(width) * height * in.components)};
    const double sx = double(in.width) / width, sy = double(in.height) / height;
    std::vector<double> total(size_t(in.components));
    for (int y = 0; y < height; ++y) {
        const double y0 = y * sy, y1 = (y + 1) * sy;
        for (int x = 0; x < width; ++x) {
            const double x0 = x * sx, x1 = (x + 1) * sx;
            std::fill(total.begin(), total.end(), 0.0);
            for (int v = int(y0); v < in.height && v < y1; ++v) {
                const double wy = std::min(y1, v + 1.0) - std::max(y0, double(v));
                for (int u = int(x0); u < in.width && u < x1; ++u) {
                    const double w = wy * (std::min(x1, u + 1.0) - std::max(x0, double(u)));
                    const uint8_t* p = in.at(u, v);
                    for (int k = 0; k < in.components; ++k) total[size_t(k)] += w * p[k];
                }
            }
            uint8_t* q = &out.texels[(size_t(y) * width + x) * in.components];
            for (int k = 0; k < in.components; ++k) q[k] = uint8_t(std::min(255.0, total[size_t(k)] / (sx * sy)));
        }
    }
    return out;
}

Image halve(const Image& in) {
    const int width = std::max(1, in.width / 2), height = std::max(1, in.height / 2);
    Image out{width, height, in.components, std::vector<uint8_t>(size_t(width) * height * in.components)};
    const int c = in.components;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* q = &out.texels[(size_t(y) * width + x) * c];
            if (in.width > 1 && in.height > 1) {
                const uint8_t *a = in.at(2 * x, 2 * y), *b = in.at(2 * x + 1, 2 * y);
                const uint8_t *d = in.at(2 * x, 2 * y + 1), *e = in.at(2 * x + 1, 2 * y + 1);
                for (int k = 0; k < c; ++k) q[k] = uint8_t((a[k] + b[k] + d[k] + e[k] + 2) / 4);
            } else {
                const uint8_t* a = in.width > 1 ? in.at(2 * x, y) : in.at(x, 2 * y);
                const uint8_t* b = in.width > 1 ? in.at(2 * x + 1, y) : in.at(x, 2 * y + 1);
                for (int k = 0; k < c; ++k) q[k] = uint8_t((a[k] + b[k]) / 2);
            }
        }
    return out;
}

// Runs an upload with tightly packed rows and puts the caller's alignment back.
template <typename Upload>
void with_tight_rows(Upload upload) {
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    upload();
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

}  // namespace

GLint compat_gluBuild2DMipmaps(GLenum target, GLint, GLsizei width, GLsizei height, GLenum format, GLenum type,
                               const void* data) {
    const int components = components_of(format);
    if (components == 0 || type != GL_UNSIGNED_BYTE) return GLU_INVALID_ENUM;
    if (width < 1 || height < 1) return GLU_INVALID_VALUE;
    if (!data) return GLU_INVALID_VALUE;
    compat_flush();

    // The user's rows, padded to the unpack alignment, made tight.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    if (alignment < 1) alignment = 1;
    const size_t row = size_t(width) * components;
    const size_t stride = (row + alignment - 1) / alignment * alignment;
    Image image{width, height, components, std::vector<uint8_t>(row * height)};
    for (int y = 0; y < height; ++y)
        std::copy_n(static_cast<const uint8_t*>(data) + stride * y, row, &image.texels[row * y]);

    // GLU halves both sides together until the largest level fits.
    int levelWidth = nearest_power(width), levelHeight = nearest_power(height);
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    while (maxSize > 0 && (levelWidth > maxSize || levelHeight > maxSize)) {
        if (levelWidth == 1 && levelHeight == 1) break;
        levelWidth = std::max(1, levelWidth / 2);
        levelHeight = std::max(1, levelHeight / 2);
    }
    if (levelWidth != width || levelHeight != height) {
        image = levelWidth * 2 == width && levelHeight * 2 == height ? halve(image)
                                                                       : scale_box(image, levelWidth, levelHeight);
    }

    with_tight_rows([&] {
        for (int level = 0;; ++level) {
            glTexImage2D(target, level, GLint(format), image.width, image.height, 0, format, GL_UNSIGNED_BYTE,
                         image.texels.data());
            if (image.width == 1 && image.height == 1) break;
            image = halve(image);
        }
    });
    return 0;
}

void compat_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                         GLint border, GLenum format, GLenum type, const void* pixels) {
    compat_flush();
    const GLenum base = base_format(internalFormat, format);
    if (type != GL_UNSIGNED_INT || components_of(format) == 0) {
        glTexImage2D(target, level, GLint(base), width, height, border, format, type, pixels);
        return;
    }
    // 32-bit unsigned components: their top byte is the 8-bit value.
    std::vector<uint8_t> bytes;
    if (pixels && width > 0 && height > 0) {
        const size_t count = size_t(width) * height * components_of(format);
        bytes.resize(count);
        const uint32_t* words = static_cast<const uint32_t*>(pixels);
        for (size_t i = 0; i < count; ++i) bytes[i] = uint8_t(words[i] >> 24);
    }
    with_tight_rows([&] {
        glTexImage2D(target, level, GLint(base), width, height, border, format, GL_UNSIGNED_BYTE,
                     bytes.empty() ? nullptr : bytes.data());
    });
}
