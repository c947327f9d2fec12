#include "platform/exit_signals.h"

#include <csignal>
#include <initializer_list>

namespace platform {

// Windows knows only the C standard's signals; a closed console or a killed
// process raises none of them, and the system returns a temporary display mode
// itself when the process ends.
void on_exit_signals(void (*request)(int), void (*fault)(int)) {
    for (int sig : {SIGINT, SIGTERM}) std::signal(sig, request);
    for (int sig : {SIGABRT, SIGSEGV, SIGFPE}) std::signal(sig, fault);
}

// No timer signals here: a request waits for the show's next event check.
void arm_signal_fallback(unsigned, void (*)(int)) {}

}  // namespace platform
