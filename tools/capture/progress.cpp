#include "progress.h"

#include <unistd.h>

#include <cstdio>

Progress::Progress(int64_t totalFrames)
    : total_(totalFrames), terminal_(isatty(STDERR_FILENO) == 1), start_(Clock::now()), shown_(start_) {}

double Progress::seconds_since_start() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

void Progress::frame_done() {
    ++done_;
    if (!terminal_ || Clock::now() - shown_ < std::chrono::milliseconds(250)) return;
    shown_ = Clock::now();
    const double seconds = seconds_since_start();
    const double fps = done_ / seconds;
    const long left = long((total_ - done_) / fps + 0.5);
    std::fprintf(stderr, "\rcapture: frame %lld of %lld  %5.1f%%  %5.1f fps  %ld:%02ld left\x1b[K",
                 static_cast<long long>(done_), static_cast<long long>(total_), 100.0 * done_ / total_, fps,
                 left / 60, left % 60);
}

void Progress::clear_line() {
    if (!terminal_) return;
    std::fputs("\r\x1b[K", stderr);
    shown_ = start_;
}

void Progress::finish() {
    std::fflush(stdout);  // the frame lines first, where both go to one file
    const double seconds = seconds_since_start();
    std::fprintf(stderr, "%scapture: %lld frames in %.1f s, %.1f fps\n", terminal_ ? "\r\x1b[K" : "",
                 static_cast<long long>(done_), seconds, seconds > 0 ? done_ / seconds : 0.0);
}
