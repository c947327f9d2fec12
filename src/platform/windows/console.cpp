#include <windows.h>

#include <cstdio>

#include "platform/platform.h"

namespace platform {

// A program with a window of its own gets no console: started from one, its
// text would go nowhere. Handles given to it (a file, a pipe) stay as they are.
void attach_console() {
    const bool out = GetStdHandle(STD_OUTPUT_HANDLE) != nullptr;
    const bool err = GetStdHandle(STD_ERROR_HANDLE) != nullptr;
    if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!out) std::freopen("CONOUT$", "w", stdout);
    if (!err) std::freopen("CONOUT$", "w", stderr);
}

}  // namespace platform
