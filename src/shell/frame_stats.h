#pragma once
// Frames drawn per showing of the schedule, and their times: the figures of
// --stats. Pure: the times are given.
#include <array>
#include <cstdint>
#include <cstdio>

#include "timeline/demo.h"

class FrameStats {
public:
    // A frame that began at `start` (seconds of a monotonic clock) and drew
    // `second` of the schedule at `position` of the motion, the tune then at
    // `tune` seconds (negative: none playing). A frame lasts until the next
    // one begins.
    void add(int32_t second, double start, double tune = -1.0, double position = 0.0);
    // A header, one line per showing of the scene table (name, seconds, the
    // tune's position at its first frame, frames drawn, frames a second,
    // positions the motion advanced a second between its first and last
    // frames, longest frame in ms), one for the whole show; the last frame
    // ends at `end`.
    void print(std::FILE* out, double end) const;

private:
    struct Tally {
        int64_t frames = 0;
        double first = 0.0;    // start of its first frame
        double last = 0.0;     // end of its last frame
        double longest = 0.0;  // seconds
        double tune = -1.0;    // the tune's position at its first frame; negative: none
        double lastStart = 0.0;  // start of its last frame
        double firstPosition = 0.0, lastPosition = 0.0;
    };
    void close_frame(double end);
    std::array<Tally, ShowingCount> showings_{};
    Tally whole_{};
    int current_ = -1;         // the showing of the frame in progress; -1 none
    double currentStart_ = 0.0;
    bool any_ = false;
};
