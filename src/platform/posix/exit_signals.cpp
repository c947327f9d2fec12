#include "platform/exit_signals.h"

#include <unistd.h>

#include <csignal>
#include <initializer_list>

namespace platform {

void on_exit_signals(void (*request)(int), void (*fault)(int)) {
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) std::signal(sig, request);
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE}) std::signal(sig, fault);
}

void arm_signal_fallback(unsigned seconds, void (*handler)(int)) {
    std::signal(SIGALRM, handler);
    alarm(seconds);
}

}  // namespace platform
