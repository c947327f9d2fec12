// The schedule's cuts against the tune: the clock starts on the turn of a
// calendar second, so each showing's first frame comes its first second after
// the tune's start, within a frame. All on a simulated calendar whose start-ups
// take their time and end in the middle of a second.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/platform.h"
#include "support/gl_fixture.h"
#include "timeline/demo.h"

namespace {

double Now = 0.0;  // simulated calendar time, in seconds; the monotonic clock reads the same
int64_t sim_calendar() { return int64_t(std::floor(Now)); }
double sim_now() { return Now; }
void sim_sleep(double seconds) { Now += seconds > 0.0 ? seconds + 0.0001 : 0.000002; }

int StartupsRun = 0;
double TuneStart = -1.0;
// Each start-up loads for 137 ms. The tune starts right before the opening
// scene's second start-up, the last call, which finds its one file read already.
void loading_startup(const SceneContext&) {
    if (++StartupsRun <= SceneCount) return (void)(Now += 0.137);
    TuneStart = Now;
    Now += 0.004;
}

double FirstFrame[ShowingCount];
double FrameStart = 0.0;
template <int Row>
void note_frame(const SceneContext&) {
    if (FirstFrame[Row] < 0.0) FirstFrame[Row] = FrameStart;
}
// The show's schedule noting each showing's first frame, and start-ups that take their time.
template <int... Rows>
Showings noting(std::integer_sequence<int, Rows...>) {
    Showings rows = Schedule;
    ((rows[Rows].render = note_frame<Rows>), ...);
    return rows;
}
const Showings Noting = noting(std::make_integer_sequence<int, ShowingCount>());
StartupSteps loading() {
    StartupSteps steps = StartupOrder;
    for (StartupStep& step : steps) step.startup = loading_startup;
    return steps;
}
const StartupSteps Loading = loading();

class CalendarTurn : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        platform::mute_music();
        set_calendar_clock(sim_calendar);
        set_clock_start_wait(sim_now, sim_sleep);
        StartupsRun = 0;
    }
    void TearDown() override {
        set_calendar_clock(nullptr);
        set_clock_start_wait(nullptr, nullptr);
    }
};

TEST_F(CalendarTurn, EveryCutComesItsSecondAfterTheTuneWithinAFrameNeverBefore) {
    Now = 5000.25;  // the start-ups end at 5001.346
    start_demo(Loading);
    ASSERT_GE(TuneStart, 0.0);
    for (double& first : FirstFrame) first = -1.0;
    FramePacer pacer(60);
    for (;;) {
        pacer.wait_for_slot(sim_now, sim_sleep);
        if (sim_calendar() - ClockStart > LastSecond) break;  // the frame that would end the show
        FrameStart = Now;
        run_schedule(Noting);
        Now += 0.006;  // drawing
    }
    const double frame = 1.0 / 60;
    for (int r = 0; r < ShowingCount; ++r) {
        const double after = FirstFrame[r] - TuneStart;
        EXPECT_GE(after, Schedule[r].first) << showing_name(Schedule[r]);
        EXPECT_LE(after, Schedule[r].first + frame) << showing_name(Schedule[r]);
    }
}

TEST_F(CalendarTurn, ACalendarThatStandsStillIsWaitedForASecondAtMost) {
    set_calendar_clock([] { return int64_t(777); });
    Now = 10.0;
    start_demo(Loading);
    EXPECT_GE(Now - 10.0, SceneCount * 0.137 + 1.0);
    EXPECT_LT(Now - 10.0, SceneCount * 0.137 + 1.006);
    EXPECT_EQ(ClockStart, 777);
}

}  // namespace
