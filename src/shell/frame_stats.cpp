// --stats: frames and frame times per showing.
#include "shell/frame_stats.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

int showing_at(int32_t second) {
    for (int r = 0; r < ShowingCount; ++r)
        if (second >= Schedule[r].first && second <= Schedule[r].last) return r;
    return -1;  // the blank seconds at the end, or a clock set back
}

}  // namespace

void FrameStats::close_frame(double end) {
    const double length = end - currentStart_;
    for (Tally* tally : {current_ >= 0 ? &showings_[current_] : nullptr, &whole_}) {
        if (!tally) continue;
        tally->last = end;
        tally->longest = std::max(tally->longest, length);
    }
}

void FrameStats::add(const FrameRecord& frame) {
    const double start = frame.start, position = frame.position;
    const double tune = frame.tune >= 0.0 ? frame.tune - frame.sinceTurn : None;
    if (any_) close_frame(start);
    any_ = true;
    current_ = showing_at(frame.second);
    currentStart_ = start;
    if (frame.second >= 0 && frame.second <= LastSecond + 1 && !seen_[size_t(frame.second)]) {
        seen_[size_t(frame.second)] = true;
        turnTunes_[size_t(frame.second)] = tune;
    }
    for (Tally* tally : {current_ >= 0 ? &showings_[current_] : nullptr, &whole_}) {
        if (!tally) continue;
        if (tally->frames++ == 0) {
            tally->first = start;
            tally->tune = tune;
            tally->firstPosition = position;
        }
        tally->lastStart = start;
        tally->lastPosition = position;
    }
}

double FrameStats::tune_at_turn(int32_t second) const {
    return second >= 0 && second <= LastSecond + 1 ? turnTunes_[size_t(second)] : None;
}

void FrameStats::print(std::FILE* out, double end) const {
    FrameStats closed = *this;
    if (closed.any_) closed.close_frame(end);
    auto line = [out](const std::string& name, const std::string& seconds, const Tally& t) {
        const double span = t.last - t.first, starts = t.lastStart - t.first;
        char tune[16] = "-", pace[16] = "-";
        if (t.frames > 0 && !std::isnan(t.tune)) std::snprintf(tune, sizeof tune, "%.3f", t.tune);
        if (starts > 0.0) std::snprintf(pace, sizeof pace, "%.2f", (t.lastPosition - t.firstPosition) / starts);
        if (t.frames == 0 || span <= 0.0)
            std::fprintf(out, "%-22s %7s %8s %7lld %9s %11s %11s\n", name.c_str(), seconds.c_str(), tune,
                         (long long)t.frames, "-", pace, "-");
        else
            std::fprintf(out, "%-22s %7s %8s %7lld %9.2f %11s %11.1f\n", name.c_str(), seconds.c_str(), tune,
                         (long long)t.frames, double(t.frames) / span, pace, t.longest * 1000.0);
    };
    std::fprintf(out, "%-22s %7s %8s %7s %9s %11s %11s\n", "showing", "seconds", "tune s", "frames", "frames/s",
                 "positions/s", "longest ms");
    for (int r = 0; r < ShowingCount; ++r)
        line(showing_name(Schedule[r]), std::to_string(Schedule[r].first) + "-" + std::to_string(Schedule[r].last),
             closed.showings_[r]);
    line("whole show", "0-" + std::to_string(LastSecond), closed.whole_);
    std::fflush(out);
}
