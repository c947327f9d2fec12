// The loop's frames at their pace, and counted for --stats.
#include <cstdio>

#include "platform/platform.h"
#include "shell/frame_stats.h"
#include "shell/shell.h"
#include "timeline/demo.h"
#include "timeline/pacer.h"

namespace {

FramePacer Pacer;   // no ceiling until start_pacing
int Ceiling = 0;    // start_pacing's, for a restart's new context
bool Counting = false;
FrameStats Stats;   // written by draw_paced_frame, printed by leave_show

}  // namespace

void print_frame_stats() {
    if (!Counting) return;
    std::printf("frame %s\n", FrameDescription.c_str());
    Stats.print(stdout, platform::seconds_now());
    std::printf("tune moved to the clock: %d times\n", platform::music_moves());
}

void start_pacing(int maxFps) {
    Ceiling = maxFps;
    Pacer = FramePacer(maxFps, WaitingPace);
    if (maxFps == 0) return;  // the loop as it always was: a swap for every refresh
    // A display at a whole multiple of the ceiling is paced by the swap itself;
    // the limiter then finds every frame due and never waits. It stays, for a
    // driver that takes the interval and swaps at once all the same.
    const int interval = swap_interval_for(platform::display_refresh_rate(), maxFps);
    if (interval > 1 && !platform::set_swap_interval(interval)) platform::set_swap_interval(1);
}

void restart_pacing() { start_pacing(Ceiling); }

void count_frames() { Counting = true; }

bool draw_paced_frame() {
    Pacer.wait_for_slot(platform::seconds_now, platform::sleep_seconds);
    // The tune as the frame begins, where its cut is made: a slow first frame
    // of a scene would read it later by its own drawing time.
    const double start = Counting ? platform::seconds_now() : 0.0;
    const double tune = Counting ? platform::music_position() : -1.0;
    if (!draw_frame()) return false;
    if (Counting) Stats.add(elapsed_seconds(), start, tune);
    return true;
}
