// The drawing state the show starts from, read back from a real context.
#include <GL/gl.h>

#include <cmath>

#include "shell/shell.h"
#include "support/gl_fixture.h"

namespace {

class InitialState : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glMatrixMode(GL_MODELVIEW);
        init_gl_state();
    }
};

TEST_F(InitialState, EveryRowOfTheStartingState) {
    init_gl_state();
    resize_gl_view(800, 600);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.0f);
    EXPECT_FLOAT_EQ(clear[1], 0.0f);
    EXPECT_FLOAT_EQ(clear[2], 0.0f);
    EXPECT_FLOAT_EQ(clear[3], 0.5f);
    GLfloat depth;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_FLOAT_EQ(depth, 1.0f);
    GLint value;
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE);
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &value);
    EXPECT_EQ(value, GL_SPHERE_MAP);
    glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &value);
    EXPECT_EQ(value, GL_SPHERE_MAP);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(modelview[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The projection of a vertical field of view fovy at the given aspect, near 1, far 400.
void expect_perspective(double fovyDegrees, double aspect) {
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    const double pi = 3.14159265358979323846;
    double f = 1.0 / std::tan(fovyDegrees * pi / 360.0);
    double nearPlane = 1.0, farPlane = 400.0;
    EXPECT_NEAR(m[0], f / aspect, 1e-5);
    EXPECT_NEAR(m[5], f, 1e-5);
    EXPECT_NEAR(m[10], (farPlane + nearPlane) / (nearPlane - farPlane), 1e-5);
    EXPECT_NEAR(m[11], -1.0, 1e-6);
    EXPECT_NEAR(m[14], 2.0 * farPlane * nearPlane / (nearPlane - farPlane), 1e-4);
    EXPECT_NEAR(m[15], 0.0, 1e-6);
}

TEST_F(InitialState, PerspectiveIsFortyFiveDegreesNearOneFarFourHundred) {
    resize_gl_view(800, 600);
    expect_perspective(45.0, 800.0 / 600.0);
}

TEST_F(InitialState, ZeroHeightIsTakenAsOne) {
    resize_gl_view(800, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 1);
    expect_perspective(45.0, 800.0);
    resize_gl_view(800, 600);
}

TEST_F(InitialState, NarrowWindowKeepsVerticalAndNarrowsHorizontalView) {
    resize_gl_view(400, 600);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    expect_perspective(45.0, 400.0 / 600.0);
    EXPECT_GT(m[0], m[5]);  // horizontal half-angle now smaller than vertical
    GLint matrixMode;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
    resize_gl_view(800, 600);
}

}  // namespace
