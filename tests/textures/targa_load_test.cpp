// Targa files into OpenGL textures, read back from a real context.
#include <GL/gl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/gl_fixture.h"
#include "textures/targa.h"
#include "textures/test_targa.h"

namespace {

class TargaLoad : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        char pattern[] = "/tmp/targa_load_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

    std::string file(const char* name, const std::vector<uint8_t>& bytes) {
        const std::string path = dir_ + "/" + name;
        EXPECT_TRUE(write_bytes(path, bytes));
        return path;
    }

    static GLint bound() {
        GLint name;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
        return name;
    }
    static GLint level_parameter(GLenum which, GLint level = 0) {
        GLint value;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, which, &value);
        return value;
    }
    static GLint parameter(GLenum which) {
        GLint value;
        glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
        return value;
    }
    // The bound texture's level 0, rows packed tightly.
    static std::vector<uint8_t> texels(GLenum format, size_t count) {
        std::vector<uint8_t> out(count);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    std::string dir_;
};

TEST_F(TargaLoad, TrueColourFilesBecomeLinearSingleLevelTextures) {
    struct Case { uint8_t depth; GLenum format; std::vector<uint8_t> first; };
    for (const Case& c : {Case{24, GL_RGB, {0xC0, 0x80, 0x42}}, Case{32, GL_RGBA, {0xC0, 0x80, 0x42, 0x33}}}) {
        SCOPED_TRACE(int(c.depth));
        // Every pixel stored as 42 80 C0 (blue, green, red), then alpha 33.
        TargaTexture record = {};
        ASSERT_TRUE(load_targa(&record, file("t.tga", solid_targa(4, 2, c.depth, 0xC0, 0x80, 0x42, 0x33)).c_str()));
        ASSERT_NE(record.glName, 0u);
        EXPECT_EQ(bound(), GLint(record.glName));
        EXPECT_EQ(level_parameter(GL_TEXTURE_WIDTH), 4);
        EXPECT_EQ(level_parameter(GL_TEXTURE_HEIGHT), 2);
        EXPECT_EQ(level_parameter(GL_TEXTURE_INTERNAL_FORMAT), GLint(c.format));
        EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
        EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
        EXPECT_EQ(level_parameter(GL_TEXTURE_WIDTH, 1), 0);  // no mipmaps
        const std::vector<uint8_t> all = texels(c.format, 8 * c.first.size());
        for (size_t at = 0; at < all.size(); at += c.first.size())
            EXPECT_EQ(std::vector<uint8_t>(all.begin() + at, all.begin() + at + c.first.size()), c.first) << at;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        delete[] record.pixels;
    }
}

TEST_F(TargaLoad, OddWidthRowsArriveWhateverUnpackAlignmentIsInForce) {
    // 3 pixels of 3 bytes: 9-byte rows, which an alignment of 4 or 8 would pad.
    std::vector<uint8_t> bgr;
    for (uint8_t k = 0; k < 6; ++k) bgr.insert(bgr.end(), {uint8_t(10 * k), uint8_t(100 + k), uint8_t(200 + k)});
    std::vector<uint8_t> rgb;
    for (uint8_t k = 0; k < 6; ++k) rgb.insert(rgb.end(), {uint8_t(200 + k), uint8_t(100 + k), uint8_t(10 * k)});
    const std::string path = file("odd.tga", targa_file(3, 2, 24, bgr));
    for (GLint alignment : {4, 8, 2}) {
        SCOPED_TRACE(alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        TargaTexture record = {};
        ASSERT_TRUE(load_targa(&record, path.c_str()));
        EXPECT_EQ(texels(GL_RGB, rgb.size()), rgb);
        GLint after;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &after);
        EXPECT_EQ(after, alignment);
        delete[] record.pixels;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

TEST_F(TargaLoad, RefusedFilesMakeNoTexture) {
    std::vector<uint8_t> runLength = solid_targa(2, 2, 24, 1, 2, 3);
    runLength[2] = 10;
    std::vector<uint8_t> truncated = solid_targa(2, 2, 24, 1, 2, 3);
    truncated.pop_back();
    std::vector<uint8_t> sixteen = solid_targa(2, 2, 24, 1, 2, 3);
    sixteen[16] = 16;
    const std::string paths[] = {file("rle.tga", runLength), file("short.tga", truncated),
                                 file("sixteen.tga", sixteen), dir_ + "/missing.tga"};
    GLuint before;
    glGenTextures(1, &before);
    glBindTexture(GL_TEXTURE_2D, before);
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        TargaTexture record = {};
        EXPECT_FALSE(load_targa(&record, path.c_str()));
        EXPECT_EQ(record.glName, 0u);
        EXPECT_EQ(record.pixels, nullptr);
        EXPECT_EQ(bound(), GLint(before));
    }
    // No name was taken in between: the next one follows the one made here.
    GLuint next;
    glGenTextures(1, &next);
    EXPECT_EQ(next, before + 1);
}

TEST_F(TargaLoad, LoadTextureFillsTheEntryItIsGiven) {
    TargaTexture table[4] = {};
    const std::string path = file("entry.tga", solid_targa(1, 1, 24, 9, 8, 7));
    EXPECT_TRUE(load_texture(2, path.c_str(), table));
    EXPECT_EQ(table[0].glName, 0u);
    EXPECT_EQ(table[1].glName, 0u);
    EXPECT_EQ(table[3].glName, 0u);
    const uint32_t first = table[2].glName;
    unsigned char* firstPixels = table[2].pixels;
    EXPECT_NE(first, 0u);
    // Loading again makes a new name and keeps the earlier texture.
    EXPECT_TRUE(load_texture(2, path.c_str(), table));
    EXPECT_NE(table[2].glName, first);
    EXPECT_TRUE(glIsTexture(first));
    EXPECT_FALSE(load_texture(1, (dir_ + "/none.tga").c_str(), table));
    EXPECT_EQ(table[1].glName, 0u);
    delete[] firstPixels;
    delete[] table[2].pixels;
}

}  // namespace
