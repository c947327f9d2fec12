// The first three scenes on the offscreen context with solid-colour media under
// the show's names, through the timeline's own tables.
#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "scenes/grid.h"
#include "scenes/scenes.h"
#include "shell/shell.h"
#include "support/gl_fixture.h"
#include "textures/render_target.h"
#include "textures/test_targa.h"
#include "timeline/demo.h"

namespace {

class Scenes : public GlTest {
protected:
    // The media folder once; each test starts from the show's drawing state.
    static void SetUpTestSuite() {
        GlTest::SetUpTestSuite();
        const std::string media = ::testing::TempDir() + "scenes_test_media";
        mkdir(media.c_str(), 0755);
        struct File { TextureIndex index; uint8_t r, g, b; };
        for (const File& f : {File{TexMyvelvet, 0, 0, 160}, File{TexLights, 200, 100, 0},
                              File{TexEnvi, 0, 120, 0}, File{TexZu, 90, 0, 90},
                              File{TexSight, 0, 0, 200}, File{TexFlog, 60, 60, 60}})
            write_bytes(media + "/" + texture_file(f.index), solid_targa(16, 16, 24, f.r, f.g, f.b));
        if (chdir(media.c_str()) != 0) return;
        init_gl_state();
        collage_sheet_startup(scene_context(2));
        funnel_sheets_startup(scene_context(3));
        rippling_box_startup(scene_context(9));
    }
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_NE(TextureTable[TexMyvelvet].glName, 0u);
        init_gl_state();
        resize_gl_view(800, 600);
    }
    // One frame as the frame loop draws it.
    static void render(SceneRoutine scene, int frame, int grid) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        FrameCounter = float(frame);
        scene(scene_context(grid, FrameMotion{double(frame), 1.0}));
    }
    static std::vector<float> state(GLenum which, int count) {
        GLfloat values[16];
        glGetFloatv(which, values);
        return std::vector<float>(values, values + count);
    }
    // What each render routine leaves: current colour, bound texture, unchanged matrix stack.
    static void expect_left(const std::vector<float>& colour, uint32_t texture, float stackDepth) {
        EXPECT_EQ(state(GL_CURRENT_COLOR, 4), colour);
        EXPECT_EQ(state(GL_TEXTURE_BINDING_2D, 1)[0], float(texture));
        EXPECT_EQ(state(GL_MODELVIEW_STACK_DEPTH, 1)[0], stackDepth);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    static float z_at(const float* grid, int i, int j) { return grid[grid_index(i, j) + 2]; }
};

TEST_F(Scenes, GridMeshLaysItsImageWithSAlongTheRowsAndTAlongTheColumns) {
    // Four texels, one per quadrant of the image: (s, t) low-low red, high-low
    // green, low-high blue, high-high white. Solid media cannot show a transposed
    // or mirrored mesh; this picture can.
    const uint8_t texels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    GLuint quadrants;
    glGenTextures(1, &quadrants);
    glBindTexture(GL_TEXTURE_2D, quadrants);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    std::vector<float> grid(GridFloats);
    fill_flat_grid(grid.data());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    glTranslatef(0.1f, 0.1f, -12.0f);  // the whole flat grid in view, face on
    draw_grid_mesh(grid.data());
    glDeleteTextures(1, &quadrants);
    // Row i runs along x and column j along y, so the image lies upright.
    struct Probe { int x, y; uint8_t r, g, b; };
    for (const Probe& p : {Probe{250, 150, 255, 0, 0}, Probe{550, 150, 0, 255, 0}, Probe{250, 450, 0, 0, 255},
                           Probe{550, 450, 255, 255, 255}, Probe{20, 300, 0, 0, 0}}) {
        const std::vector<uint8_t> pixel = read_pixels(p.x, p.y, 1, 1);
        EXPECT_EQ(std::vector<uint8_t>(pixel.begin(), pixel.begin() + 3), (std::vector<uint8_t>{p.r, p.g, p.b}))
            << p.x << "," << p.y;
    }
}

TEST_F(Scenes, RipplingBoxOverTheBackdropSteppingEveryFifthFrame) {
    const float depth = state(GL_MODELVIEW_STACK_DEPTH, 1)[0];
    struct Case { int frame; float centre; };  // wall 4 is drawn last: -sin(0.009 r c + 0.01 n + 30)
    for (const Case& c : {Case{4, -0.200158f}, Case{5, -0.190351f}, Case{0, -0.200158f}}) {
        render(rippling_box_render, c.frame, 9);
        EXPECT_NEAR(z_at(SharedBuffer, 22, 22), c.centre, 1e-5) << c.frame;
    }
    expect_left({1, 1, 1, 0.5f}, TextureTable[TexLights].glName, depth);
    // The backdrop's blue everywhere; the walls, which add no blue, right of centre.
    const std::vector<uint8_t> frame = read_pixels();
    size_t walls = 0, wallsLeft = 0;
    for (size_t at = 0; at < frame.size(); at += 4) {
        ASSERT_NEAR(frame[at + 2], 160, 1) << at / 4;
        walls += frame[at] > 0;
        wallsLeft += frame[at] > 0 && at / 4 % 800 < 150;
    }
    EXPECT_GT(walls, 20000u);
    EXPECT_EQ(wallsLeft, 0u);
}

TEST_F(Scenes, CollageSheetWobblesAndTheScreenShowsOnlyTheSheet) {
    const float depth = state(GL_MODELVIEW_STACK_DEPTH, 1)[0];
    struct Case { int frame, i, j; float x, y, z; };
    for (const Case& c : {Case{0, 3, 7, -3.885888f, -3.034301f, 0.121096f},
                          Case{100, 0, 0, -4.595892f, -4.595892f, 0.0f},
                          Case{977, 22, 10, -0.001344f, -2.425518f, -0.007131f}}) {
        render(collage_sheet_render, c.frame, 2);
        const float* p = &VertexGridTable[2][grid_index(c.i, c.j)];
        EXPECT_NEAR(p[0], c.x, 2e-6) << c.frame;
        EXPECT_NEAR(p[1], c.y, 2e-6) << c.frame;
        EXPECT_NEAR(p[2], c.z, 2e-6) << c.frame;
    }
    expect_left({1, 1, 1, 1}, TargetTextureTable[0], depth);
    EXPECT_EQ(state(GL_VIEWPORT, 4), (std::vector<float>{0, 0, 800, 600}));
    EXPECT_EQ(state(GL_COLOR_CLEAR_VALUE, 4), (std::vector<float>{0, 0, 0, 1}));
    const std::vector<uint8_t> shown = read_pixels();
    // Exactly the sheet drawn with the capture on a cleared frame: nothing of pass one beneath.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.1f, 0.0f, -7.0f);
    draw_grid_mesh(VertexGridTable[2]);
    const std::vector<uint8_t> sheetAlone = read_pixels();
    size_t lit = 0;
    for (size_t at = 0; at < sheetAlone.size(); at += 4) lit += (sheetAlone[at] | sheetAlone[at + 2]) != 0;
    EXPECT_GT(lit, 800u * 600u * 9 / 10);
    EXPECT_TRUE(shown == sheetAlone);
}

TEST_F(Scenes, CollageCaptureHoldsFogEverywhereTheLogoLeftAndTheFullSightRight) {
    render(collage_sheet_render, 0, 2);
    std::vector<uint8_t> capture(512 * 512 * 3);
    bind_target(TargetTextureTable, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, capture.data());
    // Solid media: fog (60, 60, 60), logo (90, 0, 90), sight (0, 0, 200). Only the
    // four fog layers at 0.2 bring green, and they cover the whole picture; the
    // turning sights at 0.2 split it into halves; the logo sits left of centre and
    // the swinging sight, at full strength, right of it.
    for (size_t at = 0; at < capture.size(); at += 3) ASSERT_NEAR(capture[at + 1], 48, 1) << at / 3;
    struct Probe { const char* what; int x, y; int r, b; };
    for (const Probe& p : {Probe{"logo", 150, 256, 138, 178}, Probe{"below the logo", 150, 60, 48, 88},
                           Probe{"full sight", 400, 256, 48, 255}, Probe{"above the sight", 400, 450, 48, 88}}) {
        const uint8_t* texel = &capture[3 * (512 * p.y + p.x)];
        EXPECT_NEAR(texel[0], p.r, 1) << p.what;
        EXPECT_NEAR(texel[2], p.b, 1) << p.what;
    }
}

TEST_F(Scenes, FunnelDepthRimAndWhatItLeaves) {
    const float* funnel = VertexGridTable[3];
    EXPECT_NEAR(z_at(funnel, 22, 22), -79.9996f, 1e-4);
    float farEdge = 0.0f;
    for (int k = 1; k < GridSide - 1; ++k) {
        EXPECT_TRUE(z_at(funnel, 0, k) == 0.0f && z_at(funnel, k, 0) == 0.0f) << k;
        farEdge = std::max({farEdge, z_at(funnel, 44, k), z_at(funnel, k, 44)});
        EXPECT_GT(std::min(z_at(funnel, 44, k), z_at(funnel, k, 44)), 0.0f) << k;  // 0.0715 x 44 just past pi
    }
    EXPECT_NEAR(farEdge, 0.35259f, 1e-4);
    glDisable(GL_BLEND);
    const float depth = state(GL_MODELVIEW_STACK_DEPTH, 1)[0];
    render(funnel_sheets_render, 0, 3);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    expect_left({1, 1, 1, 0.4f}, TextureTable[TexLights].glName, depth);
    // The funnel's green fills the whole view.
    const std::vector<uint8_t> frame = read_pixels();
    for (size_t at = 0; at < frame.size(); at += 4) ASSERT_GE(frame[at + 1], 119) << at / 4;
    // The box steps only on even frames.
    const std::vector<float> box0(SharedBuffer, SharedBuffer + GridFloats);
    render(funnel_sheets_render, 1, 3);
    EXPECT_TRUE(std::equal(box0.begin(), box0.end(), SharedBuffer));
    render(funnel_sheets_render, 2, 3);
    EXPECT_NEAR(z_at(SharedBuffer, 22, 22), -0.101345f, 1e-5);  // n = 1, phase 0.1
}

}  // namespace
