// Shared tables, start-up sequence and the demo clock.
#include "timeline/demo.h"

#include <GL/gl.h>

#include <algorithm>
#include <ctime>
#include <limits>

#include "platform/platform.h"
#include "scenes/startup_media.h"

TargaTexture TextureTable[TextureTableSize];
uint32_t TargetTextureTable[TargetTextureCount];
// Static storage: the scratch grids can never fail to exist.
float VertexGridTable[VertexGridCount][GridFloats];
float SharedBuffer[SharedBufferFloats];
ModelLoader ModelLoaderTable[ModelSlotCount];
Model ModelTable[ModelSlotCount];
uint32_t ModelTextureTable[ModelTextureCount];
float FrameCounter = 0.0f;

int64_t ClockStart = 0;
int32_t ElapsedSeconds = 0;

namespace {
int64_t calendar_seconds() { return static_cast<int64_t>(std::time(nullptr)); }
CalendarClock Clock = calendar_seconds;

// The wait for the turn of a second: its clock and sleep, null for none.
MonotonicClock TurnClock = nullptr;
Sleep TurnSleep = nullptr;
double ClockStartedAt = 0.0;  // on TurnClock
constexpr double TurnPoll = 0.001;  // seconds between two looks at the calendar

// Polls the calendar clock itself: the second it turns is the one the
// schedule will see turn (the C library's time() may lag a finer clock).
void wait_for_calendar_turn() {
    if (!TurnClock) return;
    const int64_t second = Clock();
    const double giveUp = TurnClock() + 1.0;  // a clock that stands still is not waited for
    while (Clock() == second && TurnClock() < giveUp) TurnSleep(TurnPoll);
}
}  // namespace

const StartupSteps StartupOrder = startup_order_from_table();

SceneContext scene_context(int grid, FrameMotion motion) {
    return SceneContext{TextureTable,     TargetTextureTable, static_cast<int32_t>(motion.position),
                        VertexGridTable[grid], SharedBuffer,   ModelLoaderTable,
                        ModelTable,       ModelTextureTable,  motion.position,
                        motion.step};
}

bool start_demo(const StartupSteps& order) {
    glDisable(GL_DEPTH_TEST);
    clear_startup_failure();
    for (const StartupStep& step : order) {
        step.startup(scene_context(step.grid));
        if (startup_failed()) return false;
    }
    // The tune is read and its output found now, so that it can start the
    // instant the clock does.
    platform::open_music(TuneFile);
    wait_for_calendar_turn();
    start_clock();
    platform::play_music();
    // The opening scene's start-up runs once more, after the clock has started.
    const StartupStep& opening = order.back();
    opening.startup(scene_context(opening.grid));
    return true;
}

void reset_demo() {
    platform::stop_music();
    for (TargaTexture& texture : TextureTable) {
        delete[] texture.pixels;
        texture = TargaTexture{};
    }
    std::fill(std::begin(TargetTextureTable), std::end(TargetTextureTable), 0u);
    for (auto& grid : VertexGridTable) std::fill(std::begin(grid), std::end(grid), 0.0f);
    std::fill(std::begin(SharedBuffer), std::end(SharedBuffer), 0.0f);
    std::fill(std::begin(ModelLoaderTable), std::end(ModelLoaderTable), ModelLoader{});
    std::fill(std::begin(ModelTable), std::end(ModelTable), Model{});
    std::fill(std::begin(ModelTextureTable), std::end(ModelTextureTable), 0u);
    FrameCounter = 0.0f;
    ClockStart = 0;
    ElapsedSeconds = 0;
    ClockStartedAt = 0.0;
}

void set_calendar_clock(CalendarClock clock) { Clock = clock ? clock : calendar_seconds; }

void set_clock_start_wait(MonotonicClock now, Sleep sleep) {
    TurnClock = now && sleep ? now : nullptr;
    TurnSleep = sleep;
}

void start_clock() {
    ClockStart = 0;
    ElapsedSeconds = 0;
    ClockStart = Clock();
    ClockStartedAt = TurnClock ? TurnClock() : 0.0;
}

double clock_started_at() { return ClockStartedAt; }

void update_clock() {
    int64_t elapsed = Clock() - ClockStart;
    // A clock set absurdly far away still gives a second outside the schedule.
    if (elapsed > std::numeric_limits<int32_t>::max()) elapsed = std::numeric_limits<int32_t>::max();
    if (elapsed < std::numeric_limits<int32_t>::min()) elapsed = std::numeric_limits<int32_t>::min();
    ElapsedSeconds = static_cast<int32_t>(elapsed);
}

int32_t elapsed_seconds() { return ElapsedSeconds; }
