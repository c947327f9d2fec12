// Mesh textures and mesh drawing on the offscreen context: where the textures
// land, what a draw leaves behind, what it paints, and the missing bitmap.
#include <GL/gl.h>

#include <cstdio>
#include <string>

#include "models/model.h"
#include "platform/platform.h"
#include "support/gl_fixture.h"
#include "tests/models/file_writers.h"

namespace {

using namespace writers;

class MeshGl : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        platform::set_message_sink(&sink);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override { platform::set_message_sink(nullptr); }
    // Per test: ctest runs the cases of this program side by side.
    std::string path(const std::string& name) {
        return testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name() + "-" + name;
    }
    void load(const Bytes& mesh, int slot) {
        ASSERT_TRUE(write_file(path("mesh.3ds"), mesh));
        load_model(path("mesh.3ds").c_str(), slot, loaders, models, textures);
    }
    static GLint integer(GLenum name) {
        GLint value = 0;
        glGetIntegerv(name, &value);
        return value;
    }
    static void expect_current(GLenum name, float x, float y, float z, const char* what) {
        GLfloat v[4];
        glGetFloatv(name, v);
        EXPECT_NEAR(v[0], x, 1e-3) << what;
        EXPECT_NEAR(v[1], y, 1e-3) << what;
        EXPECT_NEAR(v[2], z, 1e-3) << what;
    }
    platform::RecordingMessageSink sink;
    ModelLoader loaders[7];
    Model models[7];
    uint32_t textures[700] = {};
};

TEST_F(MeshGl, MaterialThreeOfSlotTwoIsEntry203) {
    const Bytes red2x2 = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    const Bytes blue4x2 = {0, 0, 200, 10, 20, 30, 40, 50, 60, 70, 80, 90, 1, 2, 3, 4, 5, 6, 7, 8, 9, 100, 110, 120};
    ASSERT_TRUE(write_file(path("one.bmp"), bitmap_of(2, 2, red2x2)));
    ASSERT_TRUE(write_file(path("three.bmp"), bitmap_of(4, 2, blue4x2)));
    load(mesh_file({material("Plain", "", colour24(1, 2, 3)), material("One", path("one.bmp"), colour24(0, 0, 0)),
                    material("Two", "", colour24(0, 0, 0)), material("Three", path("three.bmp"), colour24(0, 0, 0))}),
         2);
    EXPECT_TRUE(sink.boxes.empty());
    for (int i = 0; i < 700; ++i) {
        if (i != 201 && i != 203) {
            EXPECT_EQ(textures[i], 0u) << i;
        }
    }
    ASSERT_NE(textures[203], 0u);
    EXPECT_NE(textures[201], textures[203]);
    EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), textures[203]);  // the last made stays bound
    EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), 1);
    GLint minFilter = 0, magFilter = 0, width = 0, levelTwoWidth = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &levelTwoWidth);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(magFilter, GL_LINEAR);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(levelTwoWidth, 1);  // every mipmap level was built
    Bytes level0(blue4x2.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, level0.data());
    EXPECT_EQ(level0, blue4x2);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Left half: a textured quad (a solid teal texture); right half: an
// untextured quad in its material colour (200, 100, 50).
Bytes two_quads(bool texturedLast, const std::string& bitmap) {
    Bytes textured = object("Textured", {points({-1, 0, -1, 0, 0, -1, 0, 0, 1, -1, 0, 1}),
                                         tex_verts({0, 0, 1, 0, 1, 1, 0.25f, 0.75f}),
                                         faces({0, 1, 2, 0, 2, 3}, {mat_group("Teal")})});
    Bytes plain = object("Plain", {points({0, 0, -1, 1, 0, -1, 1, 0, 1, 0, 0, 1}),
                                   faces({0, 1, 2, 0, 2, 3}, {mat_group("Orange")})});
    Bytes materials = cat({material("Teal", bitmap, colour24(9, 9, 9)), material("Orange", "", colour24(200, 100, 50))});
    return texturedLast ? mesh_file({materials, plain, textured}) : mesh_file({materials, textured, plain});
}

TEST_F(MeshGl, DrawPaintsBothKindsAndLeavesTheLastObjectsState) {
    ASSERT_TRUE(write_file(path("teal.bmp"), bitmap_of(2, 2, Bytes{40, 160, 240, 40, 160, 240, 40, 160, 240, 40, 160, 240})));
    load(two_quads(false, path("teal.bmp")), 0);
    load(two_quads(true, path("teal.bmp")), 1);
    glClearColor(0, 0, 0, 0);
    glDisable(GL_BLEND);
    glClear(GL_COLOR_BUFFER_BIT);
    // File y is depth here: the quads lie in the file's x-z plane, which the
    // axis change turns into the show's x-y plane, facing the viewer.
    draw_model(0, loaders, models, textures);
    std::vector<uint8_t> pixels = read_pixels();
    auto at = [&](int x, int y) { return Bytes(&pixels[size_t((y * 800 + x) * 4)], &pixels[size_t((y * 800 + x) * 4 + 3)]); };
    EXPECT_EQ(at(200, 300), (Bytes{40, 160, 240}));
    EXPECT_EQ(at(600, 300), (Bytes{200, 100, 50}));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    expect_current(GL_CURRENT_COLOR, 200 / 255.0f, 100 / 255.0f, 50 / 255.0f, "last material colour");
    expect_current(GL_CURRENT_NORMAL, 0, 0, 1, "last normal");

    glBindTexture(GL_TEXTURE_2D, 0);
    draw_model(1, loaders, models, textures);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), textures[100]);
    expect_current(GL_CURRENT_COLOR, 1, 1, 1, "textured objects are white");
    expect_current(GL_CURRENT_TEXTURE_COORDS, 0.25f, 0.75f, 0, "last texture coordinate");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The colour an untextured object leaves current: its material's before every
// vertex, or the white set for the object when it has no material to use.
TEST_F(MeshGl, UntexturedObjectsTakeTheirMaterialColourOrWhite) {
    const Bytes tri = points({0, 0, 0, 1, 0, 0, 0, 0, 1});
    const Bytes materials = cat({material("First", "", colour24(10, 20, 30)), material("Second", "", colour24(40, 50, 60))});
    struct Case { const char* name; Bytes file; float r, g, b; } cases[] = {
        {"named material", mesh_file({materials, object("O", {tri, faces({0, 1, 2}, {mat_group("Second")})})}), 40, 50, 60},
        {"no group: the first material", mesh_file({materials, object("O", {tri, faces({0, 1, 2})})}), 10, 20, 30},
        {"group matching nothing", mesh_file({materials, object("O", {tri, faces({0, 1, 2}, {mat_group("None")})})}), 255, 255, 255},
        {"model without materials", mesh_file({object("O", {tri, faces({0, 1, 2}, {mat_group("First")})})}), 255, 255, 255},
        {"no faces: white, texturing off", mesh_file({materials, object("O", {tri})}), 255, 255, 255},
    };
    for (int i = 0; i < 5; ++i) {
        const Case& c = cases[i];
        load(c.file, i);
        glEnable(GL_TEXTURE_2D);
        glColor3ub(1, 2, 3);
        draw_model(i, loaders, models, textures);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << c.name;
        expect_current(GL_CURRENT_COLOR, c.r / 255, c.g / 255, c.b / 255, c.name);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(MeshGl, AnEmptySlotChangesNothing) {
    for (bool texturing : {true, false}) {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        texturing ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
        glColor3f(0.25f, 0.5f, 0.75f);
        glNormal3f(0.6f, 0.8f, 0);
        draw_model(5, loaders, models, textures);
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), texturing);
        EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), name);
        expect_current(GL_CURRENT_COLOR, 0.25f, 0.5f, 0.75f, "colour");
        expect_current(GL_CURRENT_NORMAL, 0.6f, 0.8f, 0, "normal");
    }
}

// More than 100 materials: the 101st on get no texture and no entry of the
// next slot's row; an object on one of them, or on a group that matched
// nothing, binds no texture; coordinates past texCoordCount are not sent.
TEST_F(MeshGl, GuardsAroundTheSlotsRow) {
    ASSERT_TRUE(write_file(path("tiny.bmp"), bitmap_of(1, 1, Bytes{1, 2, 3})));
    Bytes file;
    for (int i = 0; i < 102; ++i) file = cat({file, material("M" + std::to_string(i), path("tiny.bmp"), colour24(0, 0, 0))});
    Bytes tri = points({0, 0, 0, 1, 0, 0, 0, 0, 1});
    file = mesh_file({file, object("Past", {tri, faces({0, 1, 2}, {mat_group("M101")})}),
                      object("Unmatched", {tri, faces({0, 1, 2}, {mat_group("M1"), mat_group("None")})}),
                      object("FewCoords", {tri, tex_verts({0.25f, 0.75f}), faces({0, 1, 2}, {mat_group("M2")})})});
    textures[100] = 12345;  // slot 1's first entry
    load(file, 0);
    for (int i = 0; i < 100; ++i) EXPECT_NE(textures[i], 0u) << i;
    EXPECT_EQ(textures[100], 12345u);
    ASSERT_EQ(models[0].objects[0].materialIndex, 101);
    ASSERT_EQ(models[0].objects[1].materialIndex, -1);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(models[0].objects[size_t(i)].hasTexture);
        glBindTexture(GL_TEXTURE_2D, textures[7]);
        Model one;
        one.objects.push_back(models[0].objects[size_t(i)]);
        one.objectCount = 1;
        draw_model(0, loaders, &one, textures);
        EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), textures[7]) << i;
    }
    glTexCoord2f(0.5f, 0.5f);
    draw_model(0, loaders, models, textures);
    expect_current(GL_CURRENT_TEXTURE_COORDS, 0.25f, 0.75f, 0, "only vertex 0 has a coordinate");
    EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), textures[2]);
}

TEST_F(MeshGl, AMissingBitmapFailsTheLoadAfterOneBoxAndNoMaterialAfterItIsTried) {
    ASSERT_TRUE(write_file(path("here.bmp"), bitmap_of(2, 2, Bytes(12, 200))));
    ASSERT_TRUE(write_file(path("lost.3ds"),
                           mesh_file({material("Here", path("here.bmp"), colour24(0, 0, 0)),
                                      material("Lost", path("missing.bmp"), colour24(0, 0, 0)),
                                      material("Also", path("missing-too.bmp"), colour24(0, 0, 0))})));
    EXPECT_FALSE(load_model(path("lost.3ds").c_str(), 2, loaders, models, textures));
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].text, "Failed to open DIB file " + path("missing.bmp") + ".\n");
    EXPECT_NE(textures[200], 0u);
    EXPECT_EQ(textures[201], 0u);
    EXPECT_EQ(textures[202], 0u);
}

}  // namespace
