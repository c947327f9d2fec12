// Targa files into OpenGL textures, read back from a real context.
#include <GL/gl.h>

#include <string>

#include "support/gl_fixture.h"
#include "textures/targa.h"
#include "textures/test_targa.h"

namespace {

class TargaLoad : public GlTest {
protected:
    // Loads the bytes through a file; the texture stays bound.
    static bool load(const std::vector<uint8_t>& bytes, TargaTexture* record) {
        const std::string path = ::testing::TempDir() + "targa_load_test.tga";
        EXPECT_TRUE(write_bytes(path, bytes));
        return load_targa(record, path.c_str());
    }
    static std::vector<uint8_t> texels(GLenum format, size_t count) {
        std::vector<uint8_t> out(count);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
    static GLint get(GLenum which) {
        GLint value;
        glGetIntegerv(which, &value);
        return value;
    }
};

TEST_F(TargaLoad, TrueColourBecomesALinearTextureSwapped) {
    for (uint8_t depth : {24, 32}) {
        TargaTexture record = {};
        ASSERT_TRUE(load(solid_targa(1, 1, depth, 0xC0, 0x80, 0x42, 0x33), &record));  // stored 42 80 C0 33
        const GLenum format = depth == 32 ? GL_RGBA : GL_RGB;
        EXPECT_EQ(get(GL_TEXTURE_BINDING_2D), GLint(record.glName));
        GLint internal, filter;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internal);
        EXPECT_EQ(internal, GLint(format));
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        EXPECT_EQ(filter, GL_LINEAR);
        std::vector<uint8_t> expected = {0xC0, 0x80, 0x42, 0x33};
        expected.resize(depth / 8);
        EXPECT_EQ(texels(format, expected.size()), expected);
        delete[] record.pixels;
    }
}

TEST_F(TargaLoad, OddWidthRowsArriveWhateverUnpackAlignmentIsInForce) {
    // 3 pixels of 3 bytes: 9-byte rows, which an alignment of 4 or 8 would pad.
    std::vector<uint8_t> stored, expected;
    for (uint8_t k = 0; k < 6; ++k) {
        stored.insert(stored.end(), {uint8_t(10 * k), uint8_t(100 + k), uint8_t(200 + k)});
        expected.insert(expected.end(), {uint8_t(200 + k), uint8_t(100 + k), uint8_t(10 * k)});
    }
    for (GLint alignment : {4, 8}) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        TargaTexture record = {};
        ASSERT_TRUE(load(targa_file(3, 2, 24, stored), &record));
        EXPECT_EQ(texels(GL_RGB, expected.size()), expected) << alignment;
        EXPECT_EQ(get(GL_UNPACK_ALIGNMENT), alignment);  // put back
        delete[] record.pixels;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

TEST_F(TargaLoad, RefusedOrMissingFilesMakeNoTexture) {
    std::vector<uint8_t> truncated = solid_targa(2, 2, 24, 1, 2, 3);
    truncated.pop_back();
    glBindTexture(GL_TEXTURE_2D, 0);
    TargaTexture record = {};
    EXPECT_FALSE(load(truncated, &record));
    EXPECT_FALSE(load_texture(0, "no such file.tga", &record));
    EXPECT_EQ(record.glName, 0u);
    EXPECT_EQ(get(GL_TEXTURE_BINDING_2D), 0);
}

}  // namespace
