// The loop's frames at their pace and on the clock, and counted for --stats.
#include <cstdio>

#include "platform/platform.h"
#include "shell/frame_stats.h"
#include "shell/options.h"
#include "shell/shell.h"
#include "timeline/demo.h"
#include "timeline/motion.h"

namespace {

// Written by start_pacing and draw_paced_frame; read by the timeline through
// paced_motion and by print_frame_stats.
struct Pacing {
    FramePace pace;          // no ceiling until start_pacing
    int asked = AutoFps;     // --max-fps, for a restart's new context
    bool counted = false;    // --frame-counted: the frame count moves the scenes
    FrameMotion motion{0.0, 1.0};  // the frame being drawn
    bool counting = false;   // --stats
    FrameStats stats;
} Loop;

FrameMotion paced_motion() { return Loop.motion; }

// The auto ceiling is the display's refresh, which the swap keeps to (the
// pace takes it as its ceiling only should the swap not wait); 60 where the
// refresh is unknown. The frame-counted show has none, as the show first had.
int ceiling_for(int asked, bool counted, int refreshHz) {
    if (asked != AutoFps) return asked;
    if (counted) return 0;
    return refreshHz > 0 ? 0 : 60;
}

}  // namespace

void print_frame_stats() {
    if (!Loop.counting) return;
    std::printf("frame %s\n", Picture.frameDescription.c_str());
    Loop.stats.print(stdout, platform::seconds_now());
    std::printf("tune moved to the clock: %d times\n", platform::music_moves());
}

void start_pacing(int maxFps, bool frameCounted) {
    Loop.asked = maxFps;
    Loop.counted = frameCounted;
    const int refresh = platform::display_refresh_rate();
    const int ceiling = ceiling_for(maxFps, frameCounted, refresh);
    const bool swapPaces = maxFps == AutoFps && !frameCounted && refresh > 0;
    Loop.pace = FramePace(ceiling, swapPaces ? refresh : 0);
    Loop.pace.start(clock_started_at());
    set_motion_source(frameCounted ? nullptr : paced_motion);
    if (ceiling == 0) return;  // a swap for every refresh
    // A display at a whole multiple of the ceiling is paced by the swap itself;
    // the limiter then finds every frame due and never waits. It stays, for a
    // driver that takes the interval and swaps at once all the same.
    const int interval = swap_interval_for(refresh, ceiling);
    if (interval > 1 && !platform::set_swap_interval(interval)) platform::set_swap_interval(1);
}

void restart_pacing() { start_pacing(Loop.asked, Loop.counted); }

void count_frames() { Loop.counting = true; }

bool draw_paced_frame() {
    Loop.motion = Loop.pace.next_frame(platform::seconds_now, platform::sleep_seconds);
    // The tune as the frame begins, where its cut is made (a slow first frame
    // of a scene would read it later by its own drawing time), and how long
    // after its second began: a frame late on a busy machine still tells
    // where the tune was at the cut.
    FrameRecord frame{0, 0.0, Loop.counted ? FrameCounter : Loop.motion.position};
    double calendar = 0.0;
    if (Loop.counting) {
        frame.start = platform::seconds_now();
        frame.tune = platform::music_position();
        calendar = platform::calendar_seconds();
    }
    if (!draw_frame()) return false;
    if (Loop.counting) {
        frame.second = elapsed_seconds();
        frame.sinceTurn = calendar - double(ClockStart + frame.second);
        Loop.stats.add(frame);
    }
    return true;
}
