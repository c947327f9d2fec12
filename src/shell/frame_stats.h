#pragma once
// Frames drawn per showing of the schedule, and their times: the figures of
// --stats. Pure: the times are given.
#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "timeline/demo.h"

// One drawn frame, as the loop saw it when it began.
struct FrameRecord {
    int32_t second;          // of the schedule
    double start;            // seconds of a monotonic clock
    double position = 0.0;   // of the motion
    double tune = -1.0;      // the tune's position, seconds; negative: none playing
    double sinceTurn = 0.0;  // seconds since its second began, on the calendar the tune follows
};

class FrameStats {
public:
    // A frame lasts until the next one begins.
    void add(const FrameRecord& frame);
    // A header, one line per showing of the scene table (name, seconds, the
    // tune's position when its first second began, frames drawn, frames a
    // second, positions the motion advanced a second between its first and
    // last frames, longest frame in ms), one for the whole show; the last
    // frame ends at `end`.
    void print(std::FILE* out, double end) const;
    // The tune's position when `second` began, read at that second's first
    // frame (however late it came) less the time since; NaN: none.
    double tune_at_turn(int32_t second) const;
    static constexpr double None = std::numeric_limits<double>::quiet_NaN();

private:
    struct Tally {
        int64_t frames = 0;
        double first = 0.0;    // start of its first frame
        double last = 0.0;     // end of its last frame
        double longest = 0.0;  // seconds
        double tune = None;    // the tune's position when its first second began
        double lastStart = 0.0;  // start of its last frame
        double firstPosition = 0.0, lastPosition = 0.0;
    };
    void close_frame(double end);
    std::array<double, LastSecond + 2> turnTunes_ = none_yet();
    static std::array<double, LastSecond + 2> none_yet() {
        std::array<double, LastSecond + 2> none;
        none.fill(None);
        return none;
    }
    std::array<bool, LastSecond + 2> seen_{};  // a frame of that second has come
    std::array<Tally, ShowingCount> showings_{};
    Tally whole_{};
    int current_ = -1;         // the showing of the frame in progress; -1 none
    double currentStart_ = 0.0;
    bool any_ = false;
};
