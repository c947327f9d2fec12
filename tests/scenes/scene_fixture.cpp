#include "scene_fixture.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "scenes/scenes.h"
#include "shell/shell.h"
#include "textures/test_targa.h"

const Rgba SceneTest::Velvet = {0, 0, 160, 255};
const Rgba SceneTest::Lights = {200, 100, 0, 255};
const Rgba SceneTest::Envi = {0, 120, 0, 255};
const Rgba SceneTest::Zu = {90, 0, 90, 255};
const Rgba SceneTest::Sight = {0, 0, 200, 255};
const Rgba SceneTest::Flog = {60, 60, 60, 255};
std::string SceneTest::MediaDir;

void SceneTest::SetUpTestSuite() {
    GlTest::SetUpTestSuite();
    char pattern[] = "/tmp/scene_media_XXXXXX";
    if (!mkdtemp(pattern)) return;
    MediaDir = pattern;
    struct File { const char* name; Rgba colour; uint8_t depth; };
    for (const File& f : {File{"myvelvet.tga", Velvet, 24}, File{"lights.tga", Lights, 24},
                          File{"envi.tga", Envi, 24}, File{"zu.tga", Zu, 32}, File{"sight.tga", Sight, 24},
                          File{"flog.tga", Flog, 24}})
        write_bytes(MediaDir + "/" + f.name, solid_targa(16, 16, f.depth, f.colour.r, f.colour.g, f.colour.b,
                                                          f.colour.a));
}

void SceneTest::TearDownTestSuite() {
    if (!MediaDir.empty()) std::system(("rm -rf " + MediaDir).c_str());
    MediaDir.clear();
}

void SceneTest::SetUp() {
    GlTest::SetUp();
    ASSERT_FALSE(MediaDir.empty());
    char here[PATH_MAX];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    startDir_ = here;
    ASSERT_EQ(chdir(MediaDir.c_str()), 0);
    textures_.assign(TextureTableSize, TargaTexture{});
    targets_.assign(TargetTextureCount, 0);
    // Grids start as garbage, as the show's uninitialised buffers may.
    grids_.assign(VertexGridCount, std::vector<float>(GridFloats, 12345.0f));
    shared_.assign(SharedBufferFloats, 12345.0f);
    loaders_ = std::vector<ModelLoader>(ModelSlotCount);
    models_ = std::vector<Model>(ModelSlotCount);
    modelTextures_.assign(ModelTextureCount, 0);
    init_gl_state();
    resize_gl_view(ScreenWidth, ScreenHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void SceneTest::TearDown() {
    if (!startDir_.empty()) {
        EXPECT_EQ(chdir(startDir_.c_str()), 0);
    }
    for (TargaTexture& t : textures_) delete[] t.pixels;
}

SceneContext SceneTest::context(int frame, int grid) {
    return SceneContext{textures_.data(), targets_.data(), frame,           grids_[grid].data(),
                        shared_.data(),   loaders_.data(), models_.data(), modelTextures_.data()};
}

void SceneTest::start_scenes() {
    collage_sheet_startup(context(0, 2));
    funnel_sheets_startup(context(0, 3));
    rippling_box_startup(context(0, 9));
}

GLint SceneTest::integer(GLenum which) {
    GLint value;
    glGetIntegerv(which, &value);
    return value;
}

std::vector<GLfloat> SceneTest::floats(GLenum which, int count) {
    std::vector<GLfloat> values(16);
    glGetFloatv(which, values.data());
    values.resize(count);
    return values;
}

size_t SceneTest::lit_pixels(const std::vector<uint8_t>& rgba) {
    size_t lit = 0;
    for (size_t at = 0; at < rgba.size(); at += 4) lit += (rgba[at] | rgba[at + 1] | rgba[at + 2]) != 0;
    return lit;
}
