#include "platform/exit_signals.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <initializer_list>

namespace platform {
namespace {

volatile std::sig_atomic_t DeadlineSignal = 0;

extern "C" void on_deadline(int) { die_of_signal(DeadlineSignal); }

}  // namespace

void on_exit_signals(void (*request)(int), void (*fault)(int)) {
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) std::signal(sig, request);
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE}) std::signal(sig, fault);
}

void die_of_signal(int sig) {
    std::signal(sig, SIG_DFL);
    // Inside its own handler the signal is held back until the handler returns.
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(sig);
    _exit(128 + sig);  // a signal whose default lets the process go on
}

void arm_deadline(unsigned seconds, int sig) {
    DeadlineSignal = sig;
    std::signal(SIGALRM, on_deadline);
    alarm(seconds);
}

// The X server keeps a client's mode after the client is gone.
bool display_outlives_process() { return true; }

}  // namespace platform
