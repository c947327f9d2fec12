// Render-to-texture passes and the drawing-state helpers, on a real context.
#include <GL/gl.h>

#include <vector>

#include "shell/shell.h"
#include "support/gl_fixture.h"
#include "textures/draw_state.h"
#include "textures/render_target.h"

namespace {

class RenderTarget : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        init_gl_state();
        resize_gl_view(800, 600);
    }
    static GLint integer(GLenum which) {
        GLint value;
        glGetIntegerv(which, &value);
        return value;
    }
    static GLint level_parameter(GLenum which) {
        GLint value;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, which, &value);
        return value;
    }
};

// A texture whose texel (x, y) is (2x, 2y, 77), drawn 1:1 over a size by size viewport.
void draw_position_pattern(int size) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) rgb.insert(rgb.end(), {uint8_t(2 * x), uint8_t(2 * y), 77});
    GLuint pattern;
    glGenTextures(1, &pattern);
    glBindTexture(GL_TEXTURE_2D, pattern);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
        glTexCoord2f(0, 0); glVertex2f(-1, -1);
        glTexCoord2f(1, 0); glVertex2f(1, -1);
        glTexCoord2f(1, 1); glVertex2f(1, 1);
        glTexCoord2f(0, 1); glVertex2f(-1, 1);
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glDeleteTextures(1, &pattern);
}

TEST_F(RenderTarget, CreateMakesABlackLinearTextureOfTheGivenSize) {
    uint32_t table[10] = {};
    create_target(table, 64, 3, GL_RGB, 4);
    ASSERT_NE(table[4], 0u);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(table[4]));
    EXPECT_EQ(level_parameter(GL_TEXTURE_WIDTH), 64);
    EXPECT_EQ(level_parameter(GL_TEXTURE_HEIGHT), 64);
    GLint filter;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    std::vector<uint8_t> texels(64 * 64 * 3, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels, std::vector<uint8_t>(texels.size(), 0));
    // Creating again replaces the name; binding the entry binds the new texture.
    const uint32_t first = table[4];
    create_target(table, 64, 3, GL_RGB, 4);
    EXPECT_NE(table[4], first);
    glBindTexture(GL_TEXTURE_2D, 0);
    bind_target(table, 4);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(table[4]));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(RenderTarget, SmallPassCapturesTheLowerLeftCornerAndLeavesTheViewAsItWas) {
    uint32_t table[10] = {};
    create_target(table, 512, 3, GL_RGB, 1);
    glDisable(GL_BLEND);
    // Something else all over the frame, which the capture must not take.
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    const GLint depth = integer(GL_MODELVIEW_STACK_DEPTH);

    begin_target_pass(128, 128);
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), depth + 1);
    draw_position_pattern(128);
    end_target_pass(table, 128, 128, 1);

    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(table[1]));
    EXPECT_EQ(level_parameter(GL_TEXTURE_WIDTH), 128);
    EXPECT_EQ(level_parameter(GL_TEXTURE_HEIGHT), 128);
    std::vector<uint8_t> texels(128 * 128 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const uint8_t* t = &texels[3 * (128 * y + x)];
            ASSERT_TRUE(t[0] == 2 * x && t[1] == 2 * y && t[2] == 77)
                << "texel " << x << "," << y << " is " << int(t[0]) << " " << int(t[1]) << " " << int(t[2]);
        }

    // The whole frame is wiped with opaque black, which stays the clear colour.
    const std::vector<uint8_t> frame = read_pixels();
    for (size_t at = 0; at < frame.size(); at += 4)
        ASSERT_TRUE(frame[at] == 0 && frame[at + 1] == 0 && frame[at + 2] == 0 && frame[at + 3] == 255) << at / 4;
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(std::vector<GLfloat>(clear, clear + 4), (std::vector<GLfloat>{0, 0, 0, 1}));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{0, 0, 800, 600}));
    // The matrix pushed by the pass is the one in force again.
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), depth);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], 1.0f);
    EXPECT_FLOAT_EQ(m[13], 2.0f);
    EXPECT_FLOAT_EQ(m[14], 3.0f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    init_gl_state();
}

TEST_F(RenderTarget, PassAfterAResizeRestoresTheShowsFrameSize) {
    uint32_t table[10] = {};
    create_target(table, 64, 3, GL_RGB, 0);
    resize_gl_view(640, 480);
    begin_target_pass(64, 64);
    end_target_pass(table, 64, 64, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{0, 0, 800, 600}));
}

TEST_F(RenderTarget, DrawingStateHelpers) {
    TargaTexture table[3] = {};
    table[2].glName = 12345;
    bind_texture(2, table);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 12345);

    set_alpha(0.25f);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(std::vector<GLfloat>(colour, colour + 4), (std::vector<GLfloat>{1, 1, 1, 0.25f}));

    for (int flag : {0, 1, 0, -3, 0, 7}) {
        enable_blend(flag);
        EXPECT_EQ(bool(glIsEnabled(GL_BLEND)), flag != 0) << flag;
    }

    glBlendFunc(GL_ONE, GL_ZERO);
    set_additive_blend();
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE);

    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    set_sphere_mapping();
    GLint mode;
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &mode);
    EXPECT_EQ(mode, GL_SPHERE_MAP);
    glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &mode);
    EXPECT_EQ(mode, GL_SPHERE_MAP);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
