// The start-up sequence: every scene's start-up in order, the clock, the music.
#include <GL/gl.h>
#include <gtest/gtest.h>

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
std::array<StartupStep, SceneCount> Original;
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

template <int... Steps>
void install_recorders(std::integer_sequence<int, Steps...>) {
    ((StartupOrder[Steps].startup = record<Steps>), ...);
}

class StartDemo : public GlTest {};

TEST_F(StartDemo, RunsEveryStartupInOrderThenTheOpeningSceneAgainAfterTheClock) {
    Original = StartupOrder;
    install_recorders(std::make_integer_sequence<int, SceneCount>());
    set_calendar_clock(fake_clock);
    platform::mute_music();
    ClockStart = 0;
    FrameCounter = 0.0f;
    glEnable(GL_DEPTH_TEST);

    start_demo();

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
        EXPECT_EQ(Original[Calls[i].step].startup, expected[i].startup) << "call " << i;
        EXPECT_EQ(Calls[i].grid, VertexGridTable[expected[i].grid]) << "call " << i;
        EXPECT_EQ(Calls[i].frame, 0) << "call " << i;
        EXPECT_EQ(Calls[i].clockStarted, expected[i].clockStarted) << "call " << i;
    }
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(elapsed_seconds(), 0);

    StartupOrder = Original;
    set_calendar_clock(nullptr);
}

}  // namespace
