// The show's pace and motion on simulated displays and machines: the loop as
// the shell runs it (wait for the slot, draw, swap), on a simulated clock
// whose sleeps overshoot and whose swaps wait for the display's refresh.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "timeline/motion.h"
#include "timeline/pacer.h"

namespace {

double Now = 0.0;  // simulated seconds
double sim_now() { return Now; }
// A sleep wakes 0.1 ms late; a yield costs 2 microseconds.
void sim_sleep(double seconds) { Now += seconds > 0.0 ? seconds + 0.0001 : 0.000002; }

struct Display {
    double hz;          // 0: the swap never waits
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
    Display display{double(hz), hz ? swap_interval_for(hz, maxFps) : 1};
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

// ---- Motion: where each frame stands on the clock.

struct Placed {
    double start;     // seconds since the clock started
    double position;  // sixtieths
    double shown;     // when its swap returned
};

// `seconds` of the loop with the frame pace: each frame placed, drawn in
// draw(k) seconds, swapped; the clock starts at the loop's start.
std::vector<Placed> run_placed(double hz, int ceiling, int reportedHz, double (*draw)(int), double stallAt,
                               double seconds) {
    Now = 100.0;
    FramePace pace(ceiling, reportedHz);
    pace.start(Now);
    Display display{hz, 1};
    std::vector<Placed> frames;
    bool stalled = false;
    for (int k = 0; Now < 100.0 + seconds; ++k) {
        const double position = pace.next_frame(sim_now, sim_sleep).position;
        const double start = Now - 100.0;
        Now += draw(k);
        if (stallAt > 0.0 && !stalled && Now >= 100.0 + stallAt) Now += 2.0, stalled = true;
        display.swap();
        frames.push_back({start, position, Now - 100.0});
    }
    return frames;
}

double two_ms(int) { return 0.002; }
double misses_every_tenth(int k) { return k % 10 == 9 ? 0.009 : 0.002; }  // at 144 Hz: one refresh late
double slow_and_uneven(int k) { return 0.030 + 0.001 * ((k * 37) % 23); }  // 30 to 52 ms

TEST(FramePace, EveryFrameAtItsOwnPositionOnTheClockAtTheDesignedPace) {
    struct Case {
        const char* name;
        double hz;         // the display; 0: the swap never waits (Xvfb, a driver that ignores the interval)
        int ceiling;       // as the shell sets it: --max-fps, or 60 where SDL knows no refresh
        int reportedHz;    // the refresh SDL reports, with no ceiling
        double (*draw)(int);
        double stallAt;    // 0: none
        double beat;       // sixtieths a frame once measured (frames a refresh apart); 0: no beat
    };
    const Case cases[] = {
        {"60 Hz display", 60.0, 0, 60, two_ms, 0.0, 1.0},
        {"144 Hz display", 144.0, 0, 144, two_ms, 0.0, 60.0 / 144.0},
        {"143.86 Hz display that SDL calls 144", 143.86, 0, 144, two_ms, 0.0, 60.0 / 143.86},
        {"240 Hz display", 240.0, 0, 240, two_ms, 0.0, 0.25},
        {"144 Hz display, every tenth frame a refresh late", 144.0, 0, 144, misses_every_tenth, 0.0, 60.0 / 144.0},
        {"144 Hz display SDL knows nothing of", 144.0, 144, 0, two_ms, 0.0, 60.0 / 144.0},
        {"no swap interval, ceiling 60", 0.0, 60, 0, two_ms, 0.0, 1.0},
        {"no swap interval, ceiling 144", 0.0, 144, 0, two_ms, 0.0, 60.0 / 144.0},
        {"a swap that does not wait, SDL says 60 Hz", 0.0, 0, 60, two_ms, 0.0, 1.0},
        {"no swap interval, 30 to 52 ms a frame", 0.0, 60, 0, slow_and_uneven, 0.0, 0.0},
        {"60 Hz display, 30 to 52 ms a frame", 60.0, 0, 60, slow_and_uneven, 0.0, 1.0},
        {"144 Hz display, a 2-second stall", 144.0, 0, 144, two_ms, 4.3, 60.0 / 144.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Placed> f = run_placed(c.hz, c.ceiling, c.reportedHz, c.draw, c.stallAt, 10.0);
        int considered = 0, steady = 0, missed = 0;
        for (size_t i = 1; i < f.size(); ++i) {
            // Each frame its own position, never more than a frame from the
            // clock; once the beat is measured, never more than a beat (none
            // where frames keep no beat).
            ASSERT_GT(f[i].position, f[i - 1].position) << "frame " << i;
            const double slack = i < 32 ? 1.0 : c.beat > 0.0 ? c.beat : 1e-6;  // 32: the frames measured
            ASSERT_NEAR(f[i].position, 60.0 * f[i].start, slack + 1e-9) << "frame " << i;
            if (i < 64 || c.beat == 0.0 || f[i].start - f[i - 1].start > 1.0) continue;
            // Once the beat is measured each frame steps whole beats: as many
            // as refreshes passed since the frame before began (two after a
            // frame that missed one).
            const double refreshes = (f[i].start - f[i - 1].start) * 60.0 / c.beat;
            const double step = f[i].position - f[i - 1].position;
            ASSERT_NEAR(step, std::floor(refreshes + 0.5) * c.beat, 1e-6) << "frame " << i;
            ++considered;
            steady += std::floor(refreshes + 0.5) == 1.0;
            missed += std::floor(refreshes + 0.5) == 2.0;
        }
        if (c.beat > 0.0 && c.draw == two_ms) {
            EXPECT_GE(steady, considered - 1);  // a frame on every refresh
            EXPECT_GT(considered, int(7.0 * 60.0 / c.beat));
        }
        if (c.draw == misses_every_tenth) {
            EXPECT_NEAR(missed, steady / 9, 3);
        }
        // Over whole seconds away from the stall, 60 positions a second.
        const Placed* first = nullptr;
        for (const Placed& p : f)
            if (p.start >= (c.stallAt > 0.0 ? 7.0 : 1.0)) {
                if (!first) first = &p;
                if (p.start - first->start > 2.5) {
                    EXPECT_NEAR((p.position - first->position) / (p.start - first->start), 60.0, 0.5);
                }
            }
    }
    // The ceiling's beat is taken exactly: at 60 frames a second each
    // position is the whole frame count from the first.
    const std::vector<Placed> f = run_placed(0.0, 60, 0, two_ms, 0.0, 3.0);
    for (size_t i = 1; i < f.size(); ++i) ASSERT_EQ(f[i].position, f[0].position + double(i)) << "frame " << i;
}

}  // namespace
