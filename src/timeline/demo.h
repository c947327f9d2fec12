#pragma once
// The timeline: the shared tables, the start-up of every scene, the demo clock,
// and the frame loop with its schedule.
#include <array>
#include <cstdint>

#include "timeline/motion.h"
#include "timeline/pacer.h"
#include "timeline/scene_context.h"
#include "timeline/scene_table.h"

// ---- Shared resources, process-wide. Tables are zero at program start; the
// scene start-ups fill them, render routines read them.
extern TargaTexture TextureTable[TextureTableSize];
extern uint32_t TargetTextureTable[TargetTextureCount];
extern float VertexGridTable[VertexGridCount][GridFloats];  // scratch grids, written by scenes
extern float SharedBuffer[SharedBufferFloats];
extern ModelLoader ModelLoaderTable[ModelSlotCount];
extern Model ModelTable[ModelSlotCount];
extern uint32_t ModelTextureTable[ModelTextureCount];
extern float FrameCounter;  // frames drawn so far; 32-bit float as the show counts them

// The eight arguments for one call, with the given VertexGrid, for a frame
// at `motion` (start-ups: position 0).
SceneContext scene_context(int grid, FrameMotion motion = {0.0, 0.0});

// ---- Start-up: every scene's start-up, the tune made ready, the clock
// started on the turn of a calendar second and the tune with it; then the
// opening scene's start-up once more. Read from the scene table; a test may
// give steps of its own. False, at the end of the step that failed, when a
// mesh's bitmap could not be read: no later step runs and neither the clock
// nor the tune starts.
using StartupSteps = std::array<StartupStep, SceneCount>;
extern const StartupSteps StartupOrder;
bool start_demo(const StartupSteps& order = StartupOrder);
// Puts back what a fresh process has before start_demo: every table, grid
// and buffer empty, the frame counter and the clock at 0, the tune stopped.
// GL objects are the context's to free; a restart makes a new one.
void reset_demo();

// ---- Demo clock: whole calendar seconds since start_clock.
extern int64_t ClockStart;      // calendar seconds; 64 bits so the show survives 2038
extern int32_t ElapsedSeconds;
void start_clock();
void update_clock();
int32_t elapsed_seconds();

// The clock counts whole calendar seconds, so it starts on the turn of one:
// second s of the schedule then begins s seconds after the tune, which starts
// with the clock. start_demo waits for the calendar clock to turn, at most a
// second of `now`. No wait until one is set (the offline tools' simulated
// clocks start on a whole second already); the show and the page set it.
void set_clock_start_wait(MonotonicClock now, Sleep sleep);  // nullptr: no wait
// When the clock started, on that monotonic clock (0 without one): second 0
// of the schedule and position 0 of the motion.
double clock_started_at();

// ---- Frame loop.
// Read from the scene table, in the order of the seconds; from 220 to 225
// only the cleared frame, and the first frame past LastSecond ends the show.
// A test may run rows of its own.
using Showings = std::array<ScheduleRow, ShowingCount>;
extern const Showings Schedule;

// The first frame past LastSecond is not presented and reports the end of the
// schedule: the loop then ends the show the way Escape does (exit code 0), or
// starts it again between frames (--loop).
bool draw_frame(const Showings& rows = Schedule);    // clear, schedule, present; false, unpresented, once over
bool run_schedule(const Showings& rows = Schedule);  // false once the schedule is over

// ---- The seams: where calendar seconds come from, what presents a finished
// frame, and where each frame stands in the motion. The defaults are the
// calendar clock, the buffer swap and the frame count (one step a frame, as
// the show first moved: FrameCounter); offline tools put a simulated clock,
// a frame grabber and frame k's position 60k / rate here, the show's loop and
// the page the clock's position.
using CalendarClock = int64_t (*)();
using FramePresenter = void (*)();
using MotionSource = FrameMotion (*)();           // asked once a frame, before the schedule
void set_calendar_clock(CalendarClock clock);    // nullptr: the calendar clock
void set_frame_presenter(FramePresenter present); // nullptr: the buffer swap
void set_motion_source(MotionSource source);      // nullptr: the frame count

// Gives the show its own calendar clock and buffer swap back when it goes,
// whichever way the code that replaced them leaves (a failed assertion too).
struct OfflineSeams {
    OfflineSeams() = default;
    OfflineSeams(const OfflineSeams&) = delete;
    OfflineSeams& operator=(const OfflineSeams&) = delete;
    ~OfflineSeams() {
        set_calendar_clock(nullptr);
        set_frame_presenter(nullptr);
        set_motion_source(nullptr);
    }
};
