// The whole show with the generated media, through the timeline's two seams at
// four frames a second of show time: every second draws its scene, no frame
// raises an OpenGL error, the frame counter only grows, and the first frame
// past second 225 ends the process with 0.
#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "platform/platform.h"
#include "shell/shell.h"
#include "support/gl_fixture.h"
#include "timeline/demo.h"

namespace {

constexpr int Rate = 4;
int64_t Frame = 0;
int64_t show_second() { return Frame / Rate; }

class WholeShow : public GlTest {};

// What each scene leaves bound and whether blending is on: enough to tell
// which scene drew the frame.
struct Look { GLuint texture; bool blend; };

// The showing that holds the second, from the scene table; nullptr for the blank end.
const ScheduleRow* showing_at(int second) {
    for (const ScheduleRow& row : Schedule)
        if (second >= row.first && second <= row.last) return &row;
    return nullptr;
}

TEST_F(WholeShow, EverySceneInItsSecondsWithoutErrorsThenTheEnd) {
    OfflineSeams seams;
    ASSERT_TRUE(start_offline_show(SHOW_MEDIA_DIR, show_second, [] {}, 800, 600));
    ASSERT_GT(ModelTable[SlotShob].objectCount, 0) << "generated media in " << SHOW_MEDIA_DIR;

    auto mesh_texture = [](int slot) {
        const Model& m = ModelTable[slot];
        return ModelTextureTable[slot * MaterialsPerModel + m.objects[size_t(m.objectCount - 1)].materialIndex];
    };
    const GLuint lights = TextureTable[TexLights].glName, flare = TextureTable[TexFlare].glName;
    const std::map<std::string, Look> looks = {
        {"rippling box", {lights, true}},          {"collage sheet", {TargetTextureTable[0], true}},
        {"funnel sheets", {lights, true}},         {"reflecting spheres", {flare, false}},
        {"counter meshes", {mesh_texture(SlotMagic), true}}, {"blob sheet", {mesh_texture(SlotMagic), false}},
        {"tunnel", {mesh_texture(SlotOrey), false}}, {"twin bowls", {TextureTable[TexHoles].glName, true}}};
    for (Frame = 0; Frame < (LastSecond + 1) * Rate; ++Frame) {
        draw_frame();
        const int second = int(show_second());
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "second " << second;
        ASSERT_EQ(FrameCounter, float(Frame + 1));
        const std::vector<uint8_t> picture = read_pixels();
        size_t lit = 0;
        for (size_t at = 0; at < picture.size(); at += 4) lit += (picture[at] | picture[at + 1] | picture[at + 2]) > 16;
        const ScheduleRow* row = showing_at(second);
        if (!row) {
            ASSERT_EQ(lit, 0u) << "second " << second;
            continue;
        }
        ASSERT_GT(lit, picture.size() / 4 / 20) << "second " << second;
        const Look& look = looks.at(SceneTable[row->scene].name);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        ASSERT_EQ(GLuint(bound), look.texture) << showing_name(*row) << ", second " << second;
        ASSERT_EQ(bool(glIsEnabled(GL_BLEND)), look.blend) << showing_name(*row) << ", second " << second;
    }
    EXPECT_FALSE(draw_frame()) << "the first frame past the last second ends the show";
}

}  // namespace
