// The five mesh scenes on the offscreen context, started by the show's own
// start-up over small meshes and solid-colour pictures: the drawing state each
// scene inherits and leaves, the grids they hand to one another, and the two
// values that live for the whole process.
#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "scenes/grid.h"
#include "scenes/scenes.h"
#include "shell/shell.h"
#include "support/gl_fixture.h"
#include "models/file_writers.h"
#include "textures/test_targa.h"
#include "timeline/demo.h"

namespace {

using namespace writers;

// One small triangle; `map` names its bitmap, or none for an untextured object.
Bytes triangle_mesh(const std::string& map) {
    return mesh_file({material("SKIN", map, colour24(0, 90, 0)),
                      object("Tri", {points({-1, 0, 0, 1, 0, 0, 0, 1, 0}), tex_verts({0, 0, 1, 0, 0, 1}),
                                     faces({0, 1, 2}, {mat_group("SKIN")})})});
}

GLuint bound_texture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return GLuint(name);
}

struct Flags { bool depth, blend, genS, genT; };
void expect_flags(const Flags& want, const char* scene) {
    EXPECT_EQ(bool(glIsEnabled(GL_DEPTH_TEST)), want.depth) << scene;
    EXPECT_EQ(bool(glIsEnabled(GL_BLEND)), want.blend) << scene;
    EXPECT_EQ(bool(glIsEnabled(GL_TEXTURE_GEN_S)), want.genS) << scene;
    EXPECT_EQ(bool(glIsEnabled(GL_TEXTURE_GEN_T)), want.genT) << scene;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << scene;
}

class MeshScenes : public GlTest {
protected:
    // Every scene's start-up over this folder: the second mesh ("aru") ends on
    // an untextured object, every other mesh on a textured one.
    static void SetUpTestSuite() {
        GlTest::SetUpTestSuite();
        const std::string media = ::testing::TempDir() + "mesh_scenes_media";
        mkdir(media.c_str(), 0755);
        if (chdir(media.c_str()) != 0) return;
        write_file("skin.bmp", bitmap_of(2, 2, Bytes(12, 200)));
        for (const ModelFile& mesh : ModelFiles)
            write_file(mesh.file, triangle_mesh(mesh.slot == SlotAru ? "" : "skin.bmp"));
        struct Picture { TextureIndex index; uint8_t r, g, b; };
        for (const Picture& p : {Picture{TexThennew, 0, 0, 160}, Picture{TexBlobs, 0, 150, 0},
                                 Picture{TexSoultext, 90, 0, 0}, Picture{TexHoles, 0, 80, 80},
                                 Picture{TexCrysblb, 120, 0, 120}, Picture{TexBg, 0, 0, 70},
                                 Picture{TexFlare, 0, 0, 90}})
            write_bytes(texture_file(p.index), solid_targa(8, 8, 24, p.r, p.g, p.b));
        start_offline_show(".", nullptr, nullptr, 800, 600);
    }
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_NE(ModelTable[SlotMagic].objectCount, 0);
    }
    static void render(SceneRoutine scene, int frame, int grid) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        FrameCounter = float(frame);
        scene(scene_context(grid, FrameMotion{double(frame), 1.0}));
    }
    static std::vector<uint8_t> pixel(int x, int y) {
        std::vector<uint8_t> rgba = read_pixels(x, y, 1, 1);
        return {rgba[0], rgba[1], rgba[2]};
    }
    // The texture coordinates of the twin bowls' far sheet in one frame, read
    // through feedback mode: at f = 5000 its given s lie in 5..6, the near
    // sheet's in 10..11, everything else's in 0..1.
    struct SheetT { float lowest = 1e9f, highest = -1e9f; int count = 0; };
    static void far_sheet_t(int f, SheetT* sheet) {
        std::vector<GLfloat> buffer(4 << 20);
        glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        render(twin_bowls_render, f, 7);
        const GLint used = glRenderMode(GL_RENDER);
        ASSERT_GT(used, 0);
        *sheet = SheetT{};
        for (GLint at = 0; at < used;) {
            ASSERT_EQ(buffer[size_t(at)], GLfloat(GL_POLYGON_TOKEN));
            const int vertices = int(buffer[size_t(at) + 1]);
            for (int v = 0; v < vertices; ++v) {
                const GLfloat* vertex = &buffer[size_t(at) + 2 + 11 * size_t(v)];
                const float s = vertex[7], t = vertex[8];
                if (s < 4.9f || s > 6.1f) continue;
                sheet->lowest = std::min(sheet->lowest, t), sheet->highest = std::max(sheet->highest, t), ++sheet->count;
            }
            at += 2 + 11 * vertices;
        }
    }
};

TEST_F(MeshScenes, SpheresAddTheGroundOnlyInTheFirstPassAfterAScenethatLeftBlendingOn) {
    // The small picture holds the first pass; its bottom rows see the ground,
    // which is flat white here because "aru" leaves 2D texturing off.
    auto ground_in_small_picture = [] {
        std::vector<uint8_t> small(128 * 128 * 3);
        glBindTexture(GL_TEXTURE_2D, TargetTextureTable[0]);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, small.data());
        return int(small[3 * (128 * 6 + 64) + 1]);
    };
    const GLint depth = [] { GLint d; glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &d); return d; }();
    render(funnel_sheets_render, 0, 3);  // leaves blending on
    render(reflecting_spheres_render, 0, 5);
    expect_flags({true, false, false, false}, "spheres");
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(bound_texture(), TextureTable[TexFlare].glName);
    EXPECT_NEAR(ground_in_small_picture(), 51, 1);  // added at alpha 0.2
    GLint viewport[4], stack;
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &stack);
    EXPECT_EQ(viewport[2] * 1000 + viewport[3], 800600);
    EXPECT_EQ(stack, depth);

    render(blob_sheet_render, 0, 6);  // leaves blending off
    render(reflecting_spheres_render, 0, 4);
    EXPECT_EQ(ground_in_small_picture(), 255);  // opaque
    render(reflecting_spheres_render, 1, 4);
    EXPECT_EQ(ground_in_small_picture(), 255);
}

TEST_F(MeshScenes, CounterMeshesBackgroundFollowsTheLastObjectDrawnBeforeIt) {
    // After the spheres "aru"'s untextured object left texturing off: a white
    // square. From then on the scene's own textured mesh has turned it on.
    render(reflecting_spheres_render, 0, 5);
    render(counter_meshes_render, 0, 4);
    EXPECT_EQ(pixel(10, 10), (std::vector<uint8_t>{255, 255, 255}));
    render(counter_meshes_render, 1, 4);
    EXPECT_EQ(pixel(10, 10), (std::vector<uint8_t>{0, 0, 160}));
    expect_flags({true, true, false, false}, "counter meshes");
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(MeshScenes, BlobSheetAndTunnelLeaveDepthOnAndBlendingOff) {
    glEnable(GL_TEXTURE_2D);
    render(blob_sheet_render, 50, 6);
    expect_flags({true, false, false, false}, "blob sheet");
    EXPECT_EQ(pixel(5, 5)[0], 90);  // the caption is added over the whole window
    render(tunnel_render, 50, 4);
    expect_flags({true, false, false, false}, "tunnel");
    EXPECT_EQ(bound_texture(), ModelTextureTable[SlotOrey * MaterialsPerModel]);
}

// The far sheet of the twin bowls is drawn first with whatever t generation
// the frame before left: off after the tunnel, on after its own frames.
TEST_F(MeshScenes, TwinBowlsFarSheetTakesGeneratedTOnlyFromItsSecondFrame) {
    const int f = 5000;
    const float height = SinkingMeshHeight;
    SheetT sheet;
    render(tunnel_render, f, 4);
    ASSERT_NO_FATAL_FAILURE(far_sheet_t(f, &sheet));
    EXPECT_GT(sheet.count, 1000);
    EXPECT_GE(sheet.lowest, 4.99f);  // as given
    EXPECT_LE(sheet.highest, 6.01f);
    expect_flags({false, true, false, true}, "twin bowls");
    ASSERT_NO_FATAL_FAILURE(far_sheet_t(f, &sheet));
    EXPECT_GT(sheet.count, 1000);
    EXPECT_GE(sheet.lowest, 0.0f);  // sphere-mapped
    EXPECT_LE(sheet.highest, 1.0f);
    EXPECT_EQ(bound_texture(), TextureTable[TexHoles].glName);
    SinkingMeshHeight = height;
}

TEST_F(MeshScenes, ReflectingSpheresHandGridFourToTheTunnelAndTheTunnelGridSevenToTheBlobSheet) {
    static int64_t now = 0;
    OfflineSeams seams;
    set_calendar_clock([] { return now; });
    set_frame_presenter([] {});
    start_clock();
    auto extent = [](int axis) {
        const float* g = VertexGridTable[4];
        return std::vector<float>{g[grid_index(0, 0) + axis], g[grid_index(44, 44) + axis]};
    };
    for (int64_t second : {120, 140}) {  // the spheres' second showing, then the tunnel
        now = second;
        draw_frame();
        EXPECT_EQ(extent(0), (std::vector<float>{-10.9f, 11.1f})) << second;  // 22 wide
        EXPECT_EQ(extent(1), (std::vector<float>{-8.5f, 9.1f})) << second;   // 17.6 high
    }
    EXPECT_NEAR(VertexGridTable[4][grid_index(22, 22) + 2], -219.99f, 0.01f);

    // Grid 6 from the blob sheet's own start-up, grid 7 from the tunnel's: the
    // two halves of the blob sheet look the same.
    render(blob_sheet_render, 777, 6);
    const std::vector<uint8_t> first = read_pixels();
    render(blob_sheet_render, 777, 7);
    EXPECT_TRUE(first == read_pixels());
    size_t sheet = 0;
    for (size_t at = 0; at < first.size(); at += 4) sheet += first[at + 1] > 0;
    EXPECT_GT(sheet, 800u * 600u / 4);
}

TEST_F(MeshScenes, TunnelMeshStopsAfterThreeHundredFramesAndTheSinkingMeshNever) {
    glViewport(0, 0, 4, 4);  // the values, not the pictures
    TunnelMeshDistance = -5.0f;  // as at start-up
    for (int k = 0; k < 300; ++k) {
        const float before = TunnelMeshDistance;
        render(tunnel_render, k, 4);
        ASSERT_LT(TunnelMeshDistance, before) << "frame " << k;
    }
    const float stopped = TunnelMeshDistance;
    for (int k = 300; k < 320; ++k) render(tunnel_render, k, 4);
    EXPECT_EQ(TunnelMeshDistance, stopped);

    // The sinking mesh falls by the same step on the last frame of its
    // showing (at the 60 frames a second the show is made for) as on the first.
    const SceneEntry* bowls = nullptr;
    for (const SceneEntry& scene : SceneTable)
        if (scene.render == twin_bowls_render) bowls = &scene;
    ASSERT_NE(bowls, nullptr);
    const int frames = (bowls->showings[0].last - bowls->showings[0].first + 1) * 60;
    float firstStep = 0, lastStep = 0;
    for (int k = 0; k < frames; ++k) {
        const float before = SinkingMeshHeight;
        render(twin_bowls_render, k, 7);
        (k == 0 ? firstStep : lastStep) = SinkingMeshHeight - before;
    }
    EXPECT_LT(firstStep, 0.0f);
    EXPECT_NEAR(lastStep, firstStep, 1e-4f);
    glViewport(0, 0, 800, 600);
}

}  // namespace
