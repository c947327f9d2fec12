// The first three scenes on the offscreen context with solid-colour media:
// their grids, the drawing state each leaves, and what reaches the screen.
#include <cmath>

#include "scene_fixture.h"
#include "scenes/grid.h"
#include "scenes/scenes.h"
#include "textures/render_target.h"

namespace {

float z_at(const float* grid, int i, int j) { return grid[grid_index(i, j) + 2]; }

// ---- Rippling box

class RipplingBox : public SceneTest {};

TEST_F(RipplingBox, StartUpWritesTheFlatGridAndLoadsTheBackdrop) {
    start_scenes();
    EXPECT_NE(textures_[TexMyvelvet].glName, 0u);
    EXPECT_NEAR(shared_[grid_index(22, 22)], -0.1f, 1e-6);
    EXPECT_EQ(z_at(shared_.data(), 22, 22), 0.0f);
    // Its own VertexGrid is not touched.
    EXPECT_EQ(grids_[9][0], 12345.0f);
}

TEST_F(RipplingBox, LeavesHalfAlphaTheWallTextureAndTheMatrixStack) {
    start_scenes();
    const GLint depth = integer(GL_MODELVIEW_STACK_DEPTH);
    rippling_box_render(context(7, 9));
    EXPECT_EQ(floats(GL_CURRENT_COLOR, 4), (std::vector<GLfloat>{1, 1, 1, 0.5f}));
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(textures_[TexLights].glName));
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), depth);
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(RipplingBox, BoxStepsEveryFifthFrame) {
    start_scenes();
    // The last wall drawn is wall 4, whose heights are -sin(0.009 r c + 0.01 n + 30).
    struct Case { int frame; float centre; };
    for (const Case& c : {Case{0, -0.200158f}, Case{4, -0.200158f}, Case{5, -0.190351f}, Case{9, -0.190351f}}) {
        rippling_box_render(context(c.frame, 9));
        EXPECT_NEAR(z_at(shared_.data(), 22, 22), c.centre, 1e-5) << c.frame;
        EXPECT_NEAR(shared_[grid_index(44, 0)], 4.3f, 1e-5);  // x and y stay flat
    }
}

TEST_F(RipplingBox, BackdropFillsTheViewAndTheWallsAddOnTheRight) {
    start_scenes();
    rippling_box_render(context(0, 9));
    const std::vector<uint8_t> frame = read_pixels();
    size_t walls = 0, wallsLeft = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            const uint8_t* p = &frame[4 * (800 * y + x)];
            ASSERT_NEAR(p[2], Velvet.b, 1) << x << "," << y;  // the walls add no blue
            if (p[0] > 0) ++walls, wallsLeft += x < 150;
        }
    EXPECT_GT(walls, 20000u);
    EXPECT_EQ(wallsLeft, 0u);  // the box stands right of centre
}

// ---- Captured collage sheet

class CollageSheet : public SceneTest {};

TEST_F(CollageSheet, StartUpMakesTheTargetTexturesAndAdditiveBlending) {
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_BLEND);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    start_scenes();
    ASSERT_NE(targets_[0], 0u);
    glBindTexture(GL_TEXTURE_2D, targets_[0]);
    GLint width;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 512);
    for (int entry : {TexZu, TexSight, TexFlog}) EXPECT_NE(textures_[entry].glName, 0u) << entry;
    EXPECT_EQ(textures_[TexZu].bitsPerPixel, 32u);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE);
    GLint mode;
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &mode);
    EXPECT_EQ(mode, GL_SPHERE_MAP);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_NEAR(grids_[2][grid_index(44, 44)], 4.3f, 1e-5);
}

TEST_F(CollageSheet, SheetWobblesWithTheFrame) {
    start_scenes();
    struct Case { int frame, i, j; float x, y, z; };
    for (const Case& c : {Case{0, 0, 0, -4.5f, -4.5f, 0.0f}, Case{0, 3, 7, -3.885888f, -3.034301f, 0.121096f},
                          Case{0, 22, 10, -0.100885f, -2.554402f, -0.007131f},
                          Case{100, 0, 0, -4.595892f, -4.595892f, 0.0f},
                          Case{100, 44, 44, 4.204625f, 4.204625f, 0.022008f},
                          Case{977, 3, 7, -3.800009f, -3.164320f, 0.121096f},
                          Case{977, 22, 10, -0.001344f, -2.425518f, -0.007131f}}) {
        collage_sheet_render(context(c.frame, 2));
        const float* p = &grids_[2][grid_index(c.i, c.j)];
        EXPECT_NEAR(p[0], c.x, 2e-6) << c.frame << ": " << c.i << "," << c.j;
        EXPECT_NEAR(p[1], c.y, 2e-6) << c.frame << ": " << c.i << "," << c.j;
        EXPECT_NEAR(p[2], c.z, 2e-6) << c.frame << ": " << c.i << "," << c.j;
    }
}

TEST_F(CollageSheet, LeavesFullColourTheTargetBoundAndOpaqueBlackClears) {
    start_scenes();
    const GLint depth = integer(GL_MODELVIEW_STACK_DEPTH);
    collage_sheet_render(context(250, 2));
    EXPECT_EQ(floats(GL_CURRENT_COLOR, 4), (std::vector<GLfloat>{1, 1, 1, 1}));
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(targets_[0]));
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), depth);
    EXPECT_EQ(floats(GL_VIEWPORT, 4), (std::vector<GLfloat>{0, 0, 800, 600}));
    EXPECT_EQ(floats(GL_COLOR_CLEAR_VALUE, 4), (std::vector<GLfloat>{0, 0, 0, 1}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(CollageSheet, ScreenShowsOnlyTheSheet) {
    start_scenes();
    const int frame = 300;
    collage_sheet_render(context(frame, 2));
    const std::vector<uint8_t> shown = read_pixels();

    // The capture holds a real picture...
    std::vector<uint8_t> capture(512 * 512 * 3);
    glBindTexture(GL_TEXTURE_2D, targets_[0]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, capture.data());
    size_t captured = 0;
    for (uint8_t byte : capture) captured += byte != 0;
    EXPECT_GT(captured, 100000u);

    // ...and the screen is exactly the sheet drawn with it on a cleared frame:
    // nothing of the first pass lies underneath.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    glTranslatef(0.1f, 0.0f, -7.0f);
    bind_target(targets_.data(), 0);
    draw_grid_mesh(grids_[2].data());
    const std::vector<uint8_t> sheetAlone = read_pixels();
    EXPECT_GT(lit_pixels(sheetAlone), 400000u);  // the sheet covers the view
    EXPECT_TRUE(shown == sheetAlone);
}

// ---- Funnel with wave sheets

class FunnelSheets : public SceneTest {};

TEST_F(FunnelSheets, FunnelDepthAndRim) {
    start_scenes();
    const float* funnel = grids_[3].data();
    EXPECT_NEAR(z_at(funnel, 22, 22), -79.9996f, 1e-4);
    float farEdgeMax = -1.0f;
    for (int k = 0; k < GridSide; ++k) {
        EXPECT_EQ(z_at(funnel, 0, k), 0.0f) << k;
        EXPECT_EQ(z_at(funnel, k, 0), 0.0f) << k;
        // Slightly above the rim on the far edges, as 0.0715 x 44 lies just past pi.
        if (k == 0 || k == 44) continue;
        for (float z : {z_at(funnel, 44, k), z_at(funnel, k, 44)}) {
            EXPECT_GT(z, 0.0f) << k;
            EXPECT_LE(z, 0.3526f) << k;
            farEdgeMax = std::fmax(farEdgeMax, z);
        }
    }
    EXPECT_NEAR(farEdgeMax, 0.35259f, 1e-4);
    // The far corner has both factors just past pi: a hair below the rim.
    EXPECT_NEAR(z_at(funnel, 44, 44), -0.001554f, 1e-5);
    EXPECT_NEAR(funnel[grid_index(44, 44)], 4.3f, 1e-5);
    EXPECT_NEAR(funnel[grid_index(44, 44) + 1], 4.3f, 1e-5);
    EXPECT_NE(textures_[TexLights].glName, 0u);
    EXPECT_NE(textures_[TexEnvi].glName, 0u);
}

TEST_F(FunnelSheets, SwitchesBlendingOnAndLeavesTheSheetColour) {
    start_scenes();
    glDisable(GL_BLEND);
    const GLint depth = integer(GL_MODELVIEW_STACK_DEPTH);
    funnel_sheets_render(context(123, 3));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(floats(GL_CURRENT_COLOR, 4), (std::vector<GLfloat>{1, 1, 1, 0.4f}));
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(textures_[TexLights].glName));
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), depth);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FunnelSheets, BoxStepsOnEvenFramesWhileTheRestMoves) {
    start_scenes();
    // What the box's last wall left in the SharedBuffer, and the picture.
    auto run = [&](int frame) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        funnel_sheets_render(context(frame, 3));
        return std::make_pair(std::vector<float>(shared_.begin(), shared_.begin() + GridFloats), read_pixels());
    };
    const auto f0 = run(0), f1 = run(1), f2 = run(2);
    EXPECT_TRUE(f0.first == f1.first);
    EXPECT_FALSE(f1.first == f2.first);
    EXPECT_NEAR(z_at(f0.first.data(), 22, 22), -0.200158f, 1e-5);
    EXPECT_NEAR(z_at(f2.first.data(), 22, 22), -0.101345f, 1e-5);  // n = 1, phase 0.1
    EXPECT_FALSE(f0.second == f1.second);  // the sheets have moved
}

TEST_F(FunnelSheets, FunnelFillsTheView) {
    start_scenes();
    funnel_sheets_render(context(0, 3));
    const std::vector<uint8_t> frame = read_pixels();
    for (size_t at = 0; at < frame.size(); at += 4)
        ASSERT_GE(frame[at + 1], Envi.g - 1) << "pixel " << at / 4 % 800 << "," << at / 4 / 800;
}

}  // namespace
