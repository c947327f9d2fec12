#pragma once
// What the desktop's way out on a signal (desktop/signal_exit.cpp) needs from
// the system it runs on.

namespace platform {

// `request` for the signals that ask the process to end, `fault` for those
// after which it cannot go on: every one of this system's signals that ends a
// process by default and can be caught.
void on_exit_signals(void (*request)(int), void (*fault)(int));

// Ends the process as `sig` would have without the show, at once, touching
// nothing else; safe inside a signal handler.
[[noreturn]] void die_of_signal(int sig);

// die_of_signal(sig), `seconds` from now, whatever the process is doing then,
// where the system has such timers.
void arm_deadline(unsigned seconds, int sig);

// Whether a display mode the process switched to stays after it ends, so that
// a thread other than the window's must put it back.
bool display_outlives_process();

}  // namespace platform
