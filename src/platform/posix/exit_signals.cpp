#include "platform/exit_signals.h"

#include <csignal>
#include <initializer_list>

namespace platform {

void on_exit_signals(void (*handler)(int)) {
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGABRT, SIGSEGV, SIGBUS, SIGFPE}) std::signal(sig, handler);
}

}  // namespace platform
