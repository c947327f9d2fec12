// Frame slots 1 / maxFps apart, taken or waited for.
#include "timeline/pacer.h"

FramePacer::FramePacer(int maxFps, PaceRule rule) : interval_(maxFps > 0 ? 1.0 / maxFps : 0.0), rule_(rule) {}

// A frame may go from `early` before its slot. The next slot is one step after
// this one, or after the frame itself less `late` where the frame came later:
// slots never come closer than one step, so no second holds a burst.
bool FramePacer::take_slot(double now) {
    if (interval_ <= 0.0) return true;
    if (started_ && now < next_ - rule_.early * interval_) return false;
    const double held = now - rule_.late * interval_;
    next_ = (started_ && next_ > held ? next_ : held) + interval_;
    started_ = true;
    return true;
}

double FramePacer::wait_for_slot(MonotonicClock now, Sleep sleep) {
    double t = now();
    if (interval_ <= 0.0) return t;
    const double due = next_ - rule_.early * interval_;
    if (started_ && t < due) {
        for (double left = due - t; left > 0.0; left = due - now())
            sleep(left > SpinBeforeSlot ? left - SpinBeforeSlot : 0.0);
        t = due;  // the slot itself, not the moment the wait saw it pass: slots step exactly
    }
    take_slot(t);
    return t;
}

int swap_interval_for(int refreshHz, int maxFps) {
    if (refreshHz <= 0 || maxFps <= 0 || refreshHz % maxFps != 0) return 1;
    return refreshHz / maxFps;
}
