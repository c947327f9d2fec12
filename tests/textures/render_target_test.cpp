// A render-to-texture pass on a real context.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include "shell/shell.h"
#include "support/gl_fixture.h"
#include "textures/render_target.h"

namespace {

// Pixel (x, y) of the lower-left 128 by 128 becomes (2x, 2y, 77).
void draw_position_pattern() {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) rgb.insert(rgb.end(), {uint8_t(2 * x), uint8_t(2 * y), 77});
    glDisable(GL_TEXTURE_2D);  // the pixels as they are
    glWindowPos2i(0, 0);
    glDrawPixels(128, 128, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
}

template <typename T>
std::vector<T> state(GLenum which, int count) {
    GLfloat values[16];
    glGetFloatv(which, values);
    return std::vector<T>(values, values + count);
}

TEST_F(GlTest, SmallPassIntoALargeTargetCapturesTheLowerLeftCorner) {
    init_gl_state();
    resize_gl_view(800, 600);
    glDisable(GL_BLEND);
    uint32_t table[10] = {};
    create_target(table, 512, 3, GL_RGB, 1);
    glClearColor(0, 0, 1, 1);  // something else all over the frame, which the capture must not take
    glClear(GL_COLOR_BUFFER_BIT);
    glTranslatef(1, 2, 3);
    const auto depth = state<int>(GL_MODELVIEW_STACK_DEPTH, 1);

    begin_target_pass(128, 128);
    draw_position_pattern();
    end_target_pass(table, 128, 128, 1);

    EXPECT_EQ(state<uint32_t>(GL_TEXTURE_BINDING_2D, 1)[0], table[1]);
    GLint width;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 128);
    std::vector<uint8_t> texels(128 * 128 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    for (int at = 0; at < 128 * 128; ++at)
        ASSERT_TRUE(texels[3 * at] == 2 * (at % 128) && texels[3 * at + 1] == 2 * (at / 128) && texels[3 * at + 2] == 77)
            << "texel " << at % 128 << "," << at / 128;
    // Wiped with opaque black, which stays the clear colour; the show's view and matrix again.
    const std::vector<uint8_t> frame = read_pixels();
    for (size_t at = 0; at < frame.size(); at += 4)
        ASSERT_TRUE(frame[at] == 0 && frame[at + 1] == 0 && frame[at + 2] == 0 && frame[at + 3] == 255) << at / 4;
    EXPECT_EQ(state<float>(GL_COLOR_CLEAR_VALUE, 4), (std::vector<float>{0, 0, 0, 1}));
    EXPECT_EQ(state<int>(GL_VIEWPORT, 4), (std::vector<int>{0, 0, 800, 600}));
    EXPECT_EQ(state<int>(GL_MODELVIEW_STACK_DEPTH, 1), depth);
    EXPECT_EQ(state<float>(GL_MODELVIEW_MATRIX, 16)[13], 2.0f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
