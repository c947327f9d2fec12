// The show's pace on simulated displays and machines: the loop as the shell
// runs it (wait for the slot, draw, swap), on a simulated clock whose sleeps
// overshoot and whose swaps wait for the display's refresh.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "timeline/pacer.h"

namespace {

double Now = 0.0;  // simulated seconds
double sim_now() { return Now; }
// A sleep wakes 0.1 ms late; a yield costs 2 microseconds.
void sim_sleep(double seconds) { Now += seconds > 0.0 ? seconds + 0.0001 : 0.000002; }

struct Display {
    int hz;             // 0: the swap never waits
    int swapInterval;   // refreshes per swap, as the pacer chose and the driver took
    double phase = 0.0031;
    long lastRefresh = -1;
    // Returns at the first refresh that is due and at least swapInterval after the last.
    void swap() {
        if (hz == 0) return;
        long k = long(std::ceil((Now - phase) * hz - 1e-9));
        if (lastRefresh >= 0 && k < lastRefresh + swapInterval) k = lastRefresh + swapInterval;
        lastRefresh = k;
        Now = phase + double(k) / hz;
    }
};

// The presentation times of `seconds` of frames.
std::vector<double> run(int hz, int maxFps, double drawSeconds, double stallAt, double seconds) {
    Now = 100.0;
    FramePacer pacer(maxFps);
    Display display{hz, hz ? swap_interval_for(hz, maxFps) : 1};
    std::vector<double> presented;
    bool stalled = false;
    while (Now < 100.0 + seconds) {
        pacer.wait_for_slot(sim_now, sim_sleep);
        Now += drawSeconds;
        if (stallAt > 0.0 && !stalled && Now >= 100.0 + stallAt) Now += 2.0, stalled = true;
        display.swap();
        presented.push_back(Now - 100.0);
    }
    return presented;
}

int most_in_one_second(const std::vector<double>& t) {
    int most = 0;
    for (size_t i = 0, j = 0; i < t.size(); ++i) {
        while (j < t.size() && t[j] < t[i] + 1.0) ++j;
        most = std::max(most, int(j - i));
    }
    return most;
}

TEST(FramePacer, SixtyEvenlySpacedFramesASecondOnEveryDisplayAndNoCatchingUp) {
    struct Case {
        const char* name;
        int hz;
        double drawSeconds;
        double stallAt;  // seconds into the run; 0: none
        bool keepsUp;    // else: as unpaced, frame for frame
        bool even;       // every frame 1/60 s after the last (a display at 75 or 144 Hz can only come close)
    };
    const Case cases[] = {
        {"60 Hz", 60, 0.002, 0.0, true, true},
        {"75 Hz", 75, 0.002, 0.0, true, false},
        {"120 Hz", 120, 0.002, 0.0, true, true},
        {"144 Hz", 144, 0.004, 0.0, true, false},
        {"240 Hz", 240, 0.002, 0.0, true, true},
        {"swap never waits", 0, 0.003, 0.0, true, true},
        {"25 ms a frame", 0, 0.025, 0.0, false, false},
        {"2-second stall, swap never waits", 0, 0.003, 4.3, true, true},
        {"2-second stall at 144 Hz", 144, 0.004, 4.3, true, false},
    };
    const double seconds = 10.0, frame = 1.0 / 60;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<double> t = run(c.hz, 60, c.drawSeconds, c.stallAt, seconds);
        EXPECT_LE(most_in_one_second(t), 61);
        if (!c.keepsUp) {
            EXPECT_EQ(t, run(c.hz, 0, c.drawSeconds, c.stallAt, seconds));
            continue;
        }
        for (int s = 1; s < int(seconds); ++s) {
            if (c.stallAt > 0.0 && s + 1 > c.stallAt && s < c.stallAt + 2.0 + frame) continue;
            int count = 0;
            for (double x : t) count += x >= s && x < s + 1;
            EXPECT_NEAR(count, 60, 1) << "second " << s;
        }
        if (!c.even) continue;
        for (size_t i = 1; i < t.size(); ++i) {
            // The stall, and the one frame drawn as soon as it ended; after that, the old pace.
            if (t[i] - t[i - 1] > 1.0) {
                ++i;
                continue;
            }
            ASSERT_NEAR(t[i] - t[i - 1], frame, 0.0002) << "frame " << i << " at " << t[i] << " s";
        }
    }
}

}  // namespace
