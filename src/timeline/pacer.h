#pragma once
// The pace of the show's frames: at most so many a second, on slots a fixed
// step apart. Pure: the clock and the sleep are given, so that a test can run
// it on simulated time. The show's loop and the page use it; the offline tools
// and the tests that drive draw_frame themselves do not.

// Seconds on a monotonic clock of fine resolution; any origin.
using MonotonicClock = double (*)();
// Sleeps about that many seconds (more or less: waits check the clock after); 0 only yields.
using Sleep = void (*)(double seconds);

// How far a frame may stray from its slot, in frames: `early`, how long before
// its slot a frame may still take it; `late`, how late one may come and keep
// the slots where they were (later than that, the slots move with it).
struct PaceRule {
    double early;
    double late;
};
// The desktop waits for each slot: no frame early, and a late one moves the
// slots with it, so that no frames follow to catch up.
constexpr PaceRule WaitingPace = {0.0, 0.0};
// The page can only skip animation frames, which come on the display's own
// beat and jitter: an animation frame up to 0.3 of a frame early still takes
// its slot (a 60 Hz display draws every one, 120 Hz every second), and slots
// hold still for one up to 0.25 of a frame late. Either way no second holds
// more than maxFps + 1 frames.
constexpr PaceRule SkippingPace = {0.3, 0.25};

class FramePacer {
public:
    // maxFps 0: no ceiling, every frame goes at once.
    explicit FramePacer(int maxFps = 0, PaceRule rule = WaitingPace);

    // True when the frame at `now` may be drawn; it then takes its slot.
    bool take_slot(double now);
    // Returns when the next frame may be drawn: sleeps until shortly before its
    // slot, then waits out the rest finely; at once if it is late. Returns the
    // frame's time: its slot where it waited for it, else the time it came.
    double wait_for_slot(MonotonicClock now, Sleep sleep);

private:
    double interval_;  // seconds between slots; 0: no ceiling
    PaceRule rule_;
    bool started_ = false;
    double next_ = 0.0;  // when the next slot comes
};

// Sleeps are coarse (a millisecond or two on Windows): this much before a slot
// the wait stops sleeping and watches the clock instead.
constexpr double SpinBeforeSlot = 0.002;

// The swap interval that paces a display of refreshHz (0: unknown) at maxFps:
// refreshHz / maxFps where that is a whole number, else 1 (the swap waits for
// every refresh, the limiter does the rest).
int swap_interval_for(int refreshHz, int maxFps);
