#include "platform/exit_signals.h"

#include <csignal>
#include <initializer_list>

namespace platform {

// Windows knows only the C standard's signals; a closed console or a killed
// process raises none of them, and the system returns a temporary display mode
// itself when the process ends.
void on_exit_signals(void (*handler)(int)) {
    for (int sig : {SIGINT, SIGTERM, SIGABRT, SIGSEGV, SIGFPE}) std::signal(sig, handler);
}

}  // namespace platform
