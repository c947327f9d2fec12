#pragma once
// The signals on which the show puts the user's display back before it dies:
// every one of this system's signals that ends a process by default and can be caught.

namespace platform {

// `request` for the signals that ask the process to end (it ends at its next
// event check), `fault` for those after which it cannot go on.
void on_exit_signals(void (*request)(int), void (*fault)(int));

// `handler` runs once, `seconds` from now, where the system has such timers.
void arm_signal_fallback(unsigned seconds, void (*handler)(int));

}  // namespace platform
