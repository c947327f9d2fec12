#pragma once
// Where each drawn frame stands in the show's motion. The scenes were made
// for 60 frames a second, one step a frame; the show keeps that pace on the
// clock whatever its frame rate: a frame's position is where the clock stands
// as the frame begins, in sixtieths of a second since the clock started.
// Frames come on a beat (the display's refresh, or the frame ceiling's slots),
// and are seen one beat after they begin, so positions step by whole beats:
// at 60 frames a second exactly the frame count, on a 144 Hz display 60/144
// a refresh, two steps after a missed refresh. Pure: times are given.
#include "timeline/pacer.h"

struct FrameMotion {
    double position;  // sixtieths of a second since the clock started
    double step;      // positions advanced since the frame before
};

// The beat the recent frames come on, measured from the times they began
// (after the swap before them returned): the display's refresh where the swap
// waits for it, which SDL often reports rounded or not at all; the ceiling's
// slots where it paces them.
class RefreshMeter {
public:
    void add(double frameStart);
    // Seconds between beats, each recent frame a whole number of them after
    // the one before; 0 where they keep no beat (a machine drawing slower than
    // any ceiling) or too few have come.
    // shortGap, where given: the gap a quarter of the recent frames come
    // within (0 until measured), which the beat is taken from.
    double period(double* shortGap = nullptr) const;
    bool measured() const { return count_ >= Kept; }

private:
    static constexpr int Kept = 32;
    static constexpr int Gaps = Kept - 1;
    void gaps(double* out) const;  // the Gaps between the kept starts, oldest first
    static double short_gap(const double* gaps);
    double starts_[Kept] = {};
    int count_ = 0;  // frames seen, up to Kept
    int next_ = 0;   // where the next start goes
};

// Positions of successive frames. Each frame steps a whole number of beats
// from the last, as many as best match the clock, and at least one while the
// clock has not fallen behind: so positions never drift from the clock by
// more than a beat, and a stall jumps them on.
class MotionClock {
public:
    void start(double origin);  // the clock's start, on the monotonic clock
    // The frame that begins at `now`; `beat` in sixtieths (0: no beat, the
    // position is the clock's own reading).
    FrameMotion at(double now, double beat);

private:
    double origin_ = 0.0;
    double last_ = 0.0;
    bool started_ = false;  // a frame has been placed since start
};

// The desktop loop's pace and motion: waits for each frame's slot under the
// ceiling, measures the beat the frames come on and places the frame.
class FramePace {
public:
    // maxFps: the ceiling (0: none). Where the measured beat is the
    // ceiling's within a hair, the ceiling's own is taken: at 60 frames a
    // second positions are then whole frame counts, not counts give or take
    // the clock's last bits. refreshHz, with no ceiling: the display's
    // refresh as reported, which the swap is trusted to pace the frames at;
    // should frames come faster (a driver that ignores the swap interval),
    // it becomes the ceiling. A ceiling just above the refresh would hold
    // frames off the refresh they could make, so none is set while the swap
    // paces.
    explicit FramePace(int maxFps = 0, int refreshHz = 0)
        : pacer_(maxFps), maxFps_(maxFps), guardHz_(maxFps > 0 ? 0 : refreshHz) {}
    void start(double origin) { motion_.start(origin); }
    FrameMotion next_frame(MonotonicClock now, Sleep sleep);
    // The beat the last frame was placed on, in sixtieths; 0: none.
    double beat() const { return beat_; }

private:
    FramePacer pacer_;
    int maxFps_;
    int guardHz_;  // the refresh that becomes the ceiling should the swap not wait; 0: none
    RefreshMeter meter_;
    MotionClock motion_;
    double beat_ = 0.0;
};
