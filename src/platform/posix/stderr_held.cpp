// Standard error held in a scratch file while a display is tried.
#include <unistd.h>

#include <cstdio>

#include "platform/desktop/display_probe.h"

namespace platform {

bool with_stderr_held(bool (*attempt)(), std::string* held) {
    held->clear();
    std::FILE* scratch = std::tmpfile();
    std::fflush(stderr);
    const int saved = scratch ? dup(STDERR_FILENO) : -1;
    if (saved < 0 || dup2(fileno(scratch), STDERR_FILENO) < 0) {
        if (saved >= 0) close(saved);
        if (scratch) std::fclose(scratch);
        return attempt();  // nowhere to hold it: it goes out as it comes
    }
    const bool done = attempt();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::rewind(scratch);
    std::string text;
    char chunk[512];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, scratch)) > 0;) text.append(chunk, got);
    std::fclose(scratch);
    if (done) {
        std::fputs(text.c_str(), stderr);
        return true;
    }
    for (char& c : text)
        if (c == '\n') c = ' ';
    while (!text.empty() && text.back() == ' ') text.pop_back();
    *held = text;
    return false;
}

}  // namespace platform
