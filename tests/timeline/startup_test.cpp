// The start-up sequence: every scene's start-up in order, the clock, the music;
// and a looping show's next pass, which must start as a fresh process does.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "scenes/scenes.h"
#include "support/gl_fixture.h"
#include "timeline/demo.h"

namespace {

struct Call {
    int step;
    int32_t frame;
    float* grid;
    bool clockStarted;
};
std::vector<Call> Calls;
const int64_t Now = 777777;
int64_t fake_clock() { return Now; }

template <int Step>
void record(const SceneContext& ctx) {
    Calls.push_back({Step, ctx.frame, ctx.vertexGrid, ClockStart == Now});
    EXPECT_EQ(ctx.textureTable, TextureTable);
    EXPECT_EQ(ctx.targetTextureTable, TargetTextureTable);
    EXPECT_EQ(ctx.sharedBuffer, SharedBuffer);
    EXPECT_EQ(ctx.modelLoader, ModelLoaderTable);
    EXPECT_EQ(ctx.modelTable, ModelTable);
    EXPECT_EQ(ctx.modelTextureTable, ModelTextureTable);
}

// The show's start-up order with a recorder in place of each start-up.
template <int... Steps>
StartupSteps recording(std::integer_sequence<int, Steps...>) {
    StartupSteps steps = StartupOrder;
    ((steps[Steps].startup = record<Steps>), ...);
    return steps;
}

class StartDemo : public GlTest {};

TEST_F(StartDemo, RunsEveryStartupInOrderThenTheOpeningSceneAgainAfterTheClock) {
    OfflineSeams seams;
    set_calendar_clock(fake_clock);
    platform::mute_music();
    ClockStart = 0;
    FrameCounter = 0.0f;
    glEnable(GL_DEPTH_TEST);

    start_demo(recording(std::make_integer_sequence<int, SceneCount>()));

    struct Expect {
        SceneRoutine startup;
        int grid;
        bool clockStarted;
    };
    const Expect expected[] = {
        {collage_sheet_startup, 2, false}, {funnel_sheets_startup, 3, false},
        {reflecting_spheres_startup, 4, false}, {counter_meshes_startup, 5, false},
        {blob_sheet_startup, 6, false},    {tunnel_startup, 7, false},
        {twin_bowls_startup, 8, false},    {rippling_box_startup, 9, false},
        {rippling_box_startup, 9, true},
    };
    ASSERT_EQ(Calls.size(), std::size(expected));
    for (size_t i = 0; i < Calls.size(); ++i) {
        EXPECT_EQ(StartupOrder[Calls[i].step].startup, expected[i].startup) << "call " << i;
        EXPECT_EQ(Calls[i].grid, VertexGridTable[expected[i].grid]) << "call " << i;
        EXPECT_EQ(Calls[i].frame, 0) << "call " << i;
        EXPECT_EQ(Calls[i].clockStarted, expected[i].clockStarted) << "call " << i;
    }
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(elapsed_seconds(), 0);
}

// What a start leaves that a pass can change: the counters, the scenes' own
// state, every grid, and what the tables hold (texture and model names only
// as made or not: a second start in the same context makes new ones).
struct StartState {
    float frameCounter, tunnelDistance, sinkingHeight;
    std::vector<float> grids;
    std::vector<std::string> textures;
    std::vector<std::string> models;
    std::vector<bool> named;
};

StartState start_state() {
    StartState state{FrameCounter, TunnelMeshDistance, SinkingMeshHeight, {}, {}, {}, {}};
    for (const auto& grid : VertexGridTable) state.grids.insert(state.grids.end(), std::begin(grid), std::end(grid));
    state.grids.insert(state.grids.end(), std::begin(SharedBuffer), std::end(SharedBuffer));
    for (const TargaTexture& t : TextureTable) {
        std::string record = std::to_string(t.width) + "x" + std::to_string(t.height) + "x" + std::to_string(t.bitsPerPixel);
        if (t.pixels) record.append(reinterpret_cast<const char*>(t.pixels), size_t(t.width) * t.height * t.bitsPerPixel / 8);
        state.textures.push_back(record);
        state.named.push_back(t.glName != 0);
    }
    for (const Model& m : ModelTable) {
        std::string record = std::to_string(m.objectCount) + " " + std::to_string(m.materialCount);
        for (const ModelObject& o : m.objects)
            record += " " + std::to_string(o.vertexCount) + "/" + std::to_string(o.faceCount) + "/" +
                      std::to_string(o.materialIndex);
        state.models.push_back(record);
    }
    for (uint32_t name : TargetTextureTable) state.named.push_back(name != 0);
    for (uint32_t name : ModelTextureTable) state.named.push_back(name != 0);
    return state;
}

int64_t Clock = 0;
int64_t test_clock() { return Clock; }

TEST_F(StartDemo, ALoopsNextPassStartsWithWhatAFreshStartHas) {
    OfflineSeams seams;
    ASSERT_EQ(chdir(SHOW_MEDIA_DIR), 0);
    platform::mute_music();
    set_calendar_clock(test_clock);
    set_frame_presenter([] {});
    Clock = 5000;
    start_demo();
    const StartState fresh = start_state();
    ASSERT_GT(ModelTable[SlotShob].objectCount, 0) << "generated media in " << SHOW_MEDIA_DIR;

    // A pass: frames in every showing, a hundred in the two with moving meshes.
    for (const ScheduleRow& row : Schedule) {
        Clock = ClockStart + row.first;
        const std::string name = SceneTable[row.scene].name;
        for (int frame = 0; frame < (name == "tunnel" || name == "twin bowls" ? 100 : 2); ++frame) draw_frame();
    }
    ASSERT_NE(TunnelMeshDistance, fresh.tunnelDistance);
    ASSERT_NE(SinkingMeshHeight, fresh.sinkingHeight);

    Clock = ClockStart + LastSecond + 1;
    ASSERT_FALSE(draw_frame()) << "the end of the pass";
    // The shell's restart, less the new GL context this test cannot make.
    reset_demo();
    start_demo();
    const StartState again = start_state();
    EXPECT_EQ(again.frameCounter, 0.0f);
    EXPECT_EQ(again.tunnelDistance, fresh.tunnelDistance);
    EXPECT_EQ(again.sinkingHeight, fresh.sinkingHeight);
    EXPECT_TRUE(again.grids == fresh.grids) << "grids other than a fresh start's";
    EXPECT_TRUE(again.textures == fresh.textures) << "textures other than a fresh start's";
    EXPECT_EQ(again.models, fresh.models);
    EXPECT_EQ(again.named, fresh.named);
    EXPECT_EQ(ClockStart, Clock);
    draw_frame();  // the new pass's first frame: second 0, frame 0
    EXPECT_EQ(elapsed_seconds(), 0);
    EXPECT_EQ(FrameCounter, 1.0f);
}

}  // namespace
