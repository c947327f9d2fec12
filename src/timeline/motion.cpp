// Frame positions on the clock, and the beat frames come on.
#include "timeline/motion.h"

#include <algorithm>
#include <cmath>

void RefreshMeter::add(double frameStart) {
    starts_[next_] = frameStart;
    next_ = (next_ + 1) % Kept;
    if (count_ < Kept) ++count_;
}

void RefreshMeter::gaps(double* out) const {
    for (int i = 0; i < Gaps; ++i) out[i] = starts_[(next_ + i + 1) % Kept] - starts_[(next_ + i) % Kept];
}

double RefreshMeter::short_gap(const double* gaps) {
    double sorted[Gaps];
    std::copy(gaps, gaps + Gaps, sorted);
    std::nth_element(sorted, sorted + Gaps / 4, sorted + Gaps);
    return sorted[Gaps / 4];
}

// The beat is taken from the shorter gaps (a quarter of them are single
// beats even where frames often miss one), then every gap but a few must be a
// whole number of it: frames that come when they are drawn keep no beat.
double RefreshMeter::period(double* shortGap) const {
    if (shortGap) *shortGap = 0.0;
    if (!measured()) return 0.0;
    double gaps[Gaps];
    this->gaps(gaps);
    const double quarter = short_gap(gaps);
    if (shortGap) *shortGap = quarter;
    if (quarter <= 0.0) return 0.0;
    double sum = 0.0;
    int near = 0;
    for (double gap : gaps)
        if (std::fabs(gap - quarter) <= 0.1 * quarter) sum += gap, ++near;
    const double beat = sum / near;
    int off = 0;
    for (double gap : gaps) {
        const double beats = gap / beat, whole = std::floor(beats + 0.5);
        if (whole < 1.0 || std::fabs(beats - whole) > 0.12) ++off;
    }
    return off <= Gaps / 10 ? beat : 0.0;
}

void MotionClock::start(double origin) {
    origin_ = origin;
    last_ = 0.0;
    started_ = false;
}

FrameMotion MotionClock::at(double now, double beat) {
    const double clock = 60.0 * (now - origin_);
    double position;
    if (!started_) {
        position = std::max(beat > 0.0 ? beat * std::floor(clock / beat + 0.5) : clock, 0.0);
        started_ = true;
        last_ = position;
        return {position, 1.0};  // the step the show was made for
    }
    if (beat > 0.0) {
        const double behind = clock - last_;
        double beats = std::floor(behind / beat + 0.5);
        if (beats < 1.0) beats = behind >= 0.0 ? 1.0 : 0.0;  // no frame repeats one the clock has passed
        position = last_ + beats * beat;
    } else {
        position = std::max(clock, last_);
    }
    const FrameMotion motion{position, position - last_};
    last_ = position;
    return motion;
}

FrameMotion FramePace::next_frame(MonotonicClock now, Sleep sleep) {
    const double start = pacer_.wait_for_slot(now, sleep);
    meter_.add(start);
    double shortGap = 0.0;
    double period = meter_.period(&shortGap);
    if (guardHz_ > 0 && meter_.measured() && shortGap < 0.75 / guardHz_) {
        // The swap does not wait for the refresh: the ceiling paces from here.
        maxFps_ = guardHz_;
        guardHz_ = 0;
        pacer_ = FramePacer(maxFps_);
    }
    if (period > 0.0) {
        beat_ = 60.0 * period;
        if (maxFps_ > 0 && std::fabs(beat_ * maxFps_ / 60.0 - 1.0) < 0.003) beat_ = 60.0 / maxFps_;
    } else {
        // Until the beat is measured, the ceiling's; where frames keep none,
        // each is placed where the clock stands.
        beat_ = !meter_.measured() && maxFps_ > 0 ? 60.0 / maxFps_ : 0.0;
    }
    return motion_.at(start, beat_);
}
