#include "platform/exit_signals.h"

#include <csignal>
#include <cstdlib>
#include <initializer_list>

namespace platform {

// Windows knows only the C standard's signals; a closed console or a killed
// process raises none of them. SIGINT's handler runs on a thread of its own,
// the others on the thread that raised them.
void on_exit_signals(void (*request)(int), void (*fault)(int)) {
    for (int sig : {SIGINT, SIGTERM}) std::signal(sig, request);
    for (int sig : {SIGABRT, SIGSEGV, SIGFPE}) std::signal(sig, fault);
}

void die_of_signal(int sig) {
    std::signal(sig, SIG_DFL);
    std::raise(sig);
    std::_Exit(3);  // the C runtime's own exit code for these signals
}

// No timer signals here. Nothing waits on one: only the window's own thread
// puts the display back (see below), and it is not stuck when it does.
void arm_deadline(unsigned, int) {}

// Windows puts a temporary display mode back itself when the process ends;
// and a window moved from another thread waits for its own thread, which may
// be the stuck one.
bool display_outlives_process() { return false; }

}  // namespace platform
