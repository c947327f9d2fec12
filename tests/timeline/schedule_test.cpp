// Which scene each second shows, what it receives, and how the show ends.
#include <GL/gl.h>
#include <gmock/gmock.h>

#include <cstdio>
#include <vector>

#include "scenes/scenes.h"
#include "support/gl_fixture.h"
#include "timeline/demo.h"

namespace {

struct Call {
    int row;
    int32_t frame;
    float* grid;
};
std::vector<Call> Calls;
int64_t FakeNow = 0;
int64_t fake_clock() { return FakeNow; }

template <int Row>
void record(const SceneContext& ctx) { Calls.push_back({Row, ctx.frame, ctx.vertexGrid}); }

// The show's schedule with a recorder in place of each render routine.
template <int... Rows>
Showings recording(std::integer_sequence<int, Rows...>) {
    Showings rows = Schedule;
    ((rows[Rows].render = record<Rows>), ...);
    return rows;
}
const Showings Recording = recording(std::make_integer_sequence<int, ShowingCount>());

class ScheduleTest : public ::testing::Test {
protected:
    void SetUp() override {
        Calls.clear();
        set_calendar_clock(fake_clock);
        FakeNow = 1000;
        start_clock();
        FrameCounter = 0.0f;
    }
    void TearDown() override { set_calendar_clock(nullptr); }
    void at_second(int32_t s) {
        FakeNow = 1000 + s;
        Calls.clear();
        run_schedule(Recording);
    }
};

TEST_F(ScheduleTest, EachBoundarySecondPicksItsSceneAndGrid) {
    struct Expect {
        int32_t second;
        SceneRoutine render;  // nullptr: nothing drawn
        int grid;
    };
    const Expect table[] = {
        {0, rippling_box_render, 9},        {19, rippling_box_render, 9},
        {20, collage_sheet_render, 2},      {26, collage_sheet_render, 2},
        {27, funnel_sheets_render, 3},      {53, funnel_sheets_render, 3},
        {54, reflecting_spheres_render, 5}, {67, reflecting_spheres_render, 5},
        {68, counter_meshes_render, 4},     {79, counter_meshes_render, 4},
        {80, blob_sheet_render, 6},         {99, blob_sheet_render, 6},
        {100, blob_sheet_render, 7},        {119, blob_sheet_render, 7},
        {120, reflecting_spheres_render, 4}, {139, reflecting_spheres_render, 4},
        {140, tunnel_render, 4},            {159, tunnel_render, 4},
        {160, twin_bowls_render, 7},        {219, twin_bowls_render, 7},
        {220, nullptr, 0},                  {225, nullptr, 0},
        {-1, nullptr, 0},                   {-100000, nullptr, 0},
    };
    for (const Expect& e : table) {
        at_second(e.second);
        if (!e.render) {
            EXPECT_TRUE(Calls.empty()) << "second " << e.second;
            continue;
        }
        ASSERT_EQ(Calls.size(), 1u) << "second " << e.second;
        EXPECT_EQ(Schedule[Calls[0].row].render, e.render) << "second " << e.second;
        EXPECT_EQ(Calls[0].grid, VertexGridTable[e.grid]) << "second " << e.second;
    }
}

TEST_F(ScheduleTest, FrameNumberIsTheTruncatedCounterAndGrowsOnEmptyFrames) {
    at_second(5);
    at_second(5);
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].frame, 1);
    at_second(-3);   // clock moved back: nothing drawn, still counted
    at_second(222);  // the blank stretch at the end, counted too
    EXPECT_FLOAT_EQ(FrameCounter, 4.0f);
    at_second(20);   // a scene's first frame gets the count of the whole show so far
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].frame, 4);
    FrameCounter = 7.9f;
    at_second(30);
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].frame, 7);
}

TEST_F(ScheduleTest, ElapsedSecondsSurviveTheYear2038) {
    FakeNow = (int64_t(1) << 31) - 3;  // started three seconds before the 32-bit rollover
    start_clock();
    FakeNow += 30;
    update_clock();
    EXPECT_EQ(elapsed_seconds(), 30);
    FakeNow = ClockStart - (int64_t(1) << 40);  // a clock set absurdly far back draws nothing
    Calls.clear();
    run_schedule(Recording);
    EXPECT_TRUE(Calls.empty());
    EXPECT_LT(elapsed_seconds(), 0);
}

int Presented = 0;
void count_present() { ++Presented; }

class ShowEnd : public GlTest {};

TEST_F(ShowEnd, SecondTwoTwentySixEndsTheShowWithoutPresenting) {
    OfflineSeams seams;
    set_calendar_clock(fake_clock);
    set_frame_presenter(count_present);
    FakeNow = 5000;
    start_clock();
    FakeNow = 5000 + 225;
    EXPECT_TRUE(draw_frame());  // the blank frame of second 225 is still shown
    EXPECT_EQ(Presented, 1);
    const float frames = FrameCounter;
    FakeNow = 5000 + 226;
    EXPECT_FALSE(draw_frame());
    EXPECT_EQ(Presented, 1);
    EXPECT_EQ(FrameCounter, frames);
}

TEST_F(ShowEnd, EveryFrameIsClearedBeforeTheSceneAndPresentedAfter) {
    OfflineSeams seams;
    static int presented = 0;
    set_frame_presenter([] { ++presented; });
    set_calendar_clock(fake_clock);
    FakeNow = 9000;
    start_clock();
    FakeNow = 9000 + 222;
    glClearColor(0, 0, 0, 1);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    // Paint the buffer; draw_frame must leave a black frame at a blank second.
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    float before = FrameCounter;
    draw_frame();
    EXPECT_EQ(presented, 1);
    EXPECT_FLOAT_EQ(FrameCounter, before + 1.0f);
    std::vector<uint8_t> pixels = read_pixels(400, 300, 1, 1);
    EXPECT_EQ(pixels[0], 0);
}

}  // namespace
