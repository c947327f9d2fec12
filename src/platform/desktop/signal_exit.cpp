// The way out on a signal: the user's display put back, then the death the
// signal would have brought without the show.
#include <csignal>
#include <cstdlib>

#include "platform/desktop/desktop.h"
#include "platform/exit_signals.h"
#include "platform/system.h"

namespace platform {
namespace {

// Dies of the signal, as the process would have without the show, once the
// display is back.
void die_of(int sig) {
    restore_user_display();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
    std::_Exit(128 + sig);
}

volatile std::sig_atomic_t PendingSignal = 0;  // an end asked for by a signal, not yet acted on

// Putting the display back calls SDL, which may wait for a lock (malloc's,
// Xlib's) held by the very code the signal interrupted: a request is only
// noted here, and the show dies of it at its next event check, from its own
// thread. Should that check not come (a box open, a start-up still loading),
// the fallback dies of it anyway; so does a second request.
extern "C" void request_on_signal(int sig) {
    if (PendingSignal) die_of(sig);
    PendingSignal = sig;
    arm_signal_fallback(5, [](int) { die_of(PendingSignal); });
}

// After a fault the process cannot go on: the display is put back at once, as best it can be.
extern "C" void restore_on_fault(int sig) { die_of(sig); }

}  // namespace

void watch_exit_signals() { on_exit_signals(request_on_signal, restore_on_fault); }

void act_on_exit_request() {
    if (PendingSignal) die_of(PendingSignal);
}

}  // namespace platform
