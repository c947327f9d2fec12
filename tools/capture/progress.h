#pragma once
// How far a capture has come, on standard error: a line updated in place on a
// terminal, one summary line at the end either way.
#include <chrono>
#include <cstdint>

class Progress {
public:
    explicit Progress(int64_t totalFrames);
    void frame_done();  // redraws at most four times a second
    void clear_line();  // before a line on standard output; the next frame redraws it
    void finish();      // the summary: frames, seconds, frames per second

private:
    using Clock = std::chrono::steady_clock;
    double seconds_since_start() const;
    int64_t total_, done_ = 0;
    bool terminal_;
    Clock::time_point start_, shown_;
};
