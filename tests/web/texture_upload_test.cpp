// The web layer's texture uploads against Mesa: gluBuild2DMipmaps level by
// level, and the component-count, 32-bit-texel upload the render targets use.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/web/gl_compat.h"
#include "support/gl_fixture.h"

namespace {

struct Level {
    int width, height;
    std::vector<uint8_t> texels;
};

std::vector<Level> read_levels(GLuint texture, GLenum format, int components) {
    std::vector<Level> levels;
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int level = 0; level < 16; ++level) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
        if (w == 0 || h == 0) break;
        Level l{w, h, std::vector<uint8_t>(size_t(w) * h * components)};
        glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, l.texels.data());
        levels.push_back(std::move(l));
    }
    return levels;
}

// A picture with smooth gradients, hard edges and noise, rows padded to the
// unpack alignment.
std::vector<uint8_t> picture(int width, int height, int components, int alignment) {
    size_t row = size_t(width) * components;
    size_t stride = (row + alignment - 1) / alignment * alignment;
    std::vector<uint8_t> bytes(stride * height, 0xEE);
    uint32_t noise = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c) {
                noise = noise * 1103515245u + 12345u;
                int value = (x * 255 / width + (c == 1 ? y * 255 / height : 0) + ((x / 3 + y / 2) % 2) * 60 +
                             int(noise >> 28)) % 256;
                bytes[stride * y + size_t(x) * components + c] = uint8_t(value);
            }
    return bytes;
}

class TextureUploadTest : public GlTest {
protected:
    void TearDown() override {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        if (!names_.empty()) glDeleteTextures(GLsizei(names_.size()), names_.data());
    }
    GLuint make_texture() {
        GLuint name;
        glGenTextures(1, &name);
        names_.push_back(name);
        glBindTexture(GL_TEXTURE_2D, name);
        return name;
    }
    std::vector<GLuint> names_;
};

// Every level equals GLU's, byte for byte: power-of-two pictures halved, and
// other sizes first scaled to GLU's power of two (3 x 2^k rounds up, the rest
// down, so pictures grow along one side and shrink along the other) by its box
// filter.
TEST_F(TextureUploadTest, MipmapsMatchMesaGlu) {
    struct Case {
        int width, height;
        GLenum format;
        int components, alignment;
    };
    const Case cases[] = {
        {256, 256, GL_RGB, 3, 1},  // the mesh bitmaps
        {64, 16, GL_RGBA, 4, 4},   {1, 8, GL_RGB, 3, 4},   {32, 1, GL_RGB, 3, 1},  {100, 60, GL_RGB, 3, 4},
        {37, 13, GL_RGBA, 4, 1},   {3, 5, GL_RGB, 3, 4},   {200, 100, GL_RGB, 3, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + ", " +
                     std::to_string(c.components) + " components, alignment " + std::to_string(c.alignment));
        std::vector<uint8_t> bytes = picture(c.width, c.height, c.components, c.alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, c.alignment);
        GLuint mesa = make_texture();
        ASSERT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, c.components, c.width, c.height, c.format, GL_UNSIGNED_BYTE,
                                    bytes.data()),
                  0);
        GLuint layer = make_texture();
        ASSERT_EQ(compat_gluBuild2DMipmaps(GL_TEXTURE_2D, c.components, c.width, c.height, c.format,
                                           GL_UNSIGNED_BYTE, bytes.data()),
                  0);
        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, c.alignment) << "the caller's unpack alignment is put back";
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

        std::vector<Level> expected = read_levels(mesa, c.format, c.components);
        std::vector<Level> got = read_levels(layer, c.format, c.components);
        ASSERT_GT(expected.size(), 1u);
        ASSERT_EQ(got.size(), expected.size());
        for (size_t l = 0; l < expected.size(); ++l) {
            ASSERT_EQ(got[l].width, expected[l].width) << "level " << l;
            ASSERT_EQ(got[l].height, expected[l].height) << "level " << l;
            // GLU uploads the levels it makes, tightly packed, under the
            // caller's alignment: a level whose rows do not fill it is read
            // skewed there. The layer packs them right; those are not compared.
            if (l > 0 && expected[l].width * c.components % c.alignment != 0) continue;
            EXPECT_EQ(got[l].texels, expected[l].texels) << "level " << l;
        }
    }
}

// The render targets are made from a component count and 32-bit unsigned
// texels, which WebGL refuses; the layer uploads the same colours as bytes.
TEST_F(TextureUploadTest, ComponentCountAndWordTexelsUploadTheSameColours) {
    const int size = 4;
    std::vector<GLuint> words(size * size * 3);
    for (size_t i = 0; i < words.size(); ++i) words[i] = GLuint(i * 0x0F0F0F0Fu * 7);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    GLuint mesa = make_texture();
    glTexImage2D(GL_TEXTURE_2D, 0, 3, size, size, 0, GL_RGB, GL_UNSIGNED_INT, words.data());
    GLuint layer = make_texture();
    compat_glTexImage2D(GL_TEXTURE_2D, 0, 3, size, size, 0, GL_RGB, GL_UNSIGNED_INT, words.data());
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    std::vector<Level> expected = read_levels(mesa, GL_RGB, 3);
    std::vector<Level> got = read_levels(layer, GL_RGB, 3);
    ASSERT_EQ(got.size(), 1u);
    ASSERT_EQ(expected.size(), 1u);
    for (size_t i = 0; i < expected[0].texels.size(); ++i)
        EXPECT_NEAR(got[0].texels[i], expected[0].texels[i], 1) << "component " << i;
}

}  // namespace
