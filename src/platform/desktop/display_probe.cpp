// Which SDL video drivers can show the show, and what the display libraries
// said while they were tried.
#include "platform/desktop/display_probe.h"

#include <SDL.h>

#include <cstdio>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace platform {

std::string visible_video_drivers() {
    std::string drivers;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string name = SDL_GetVideoDriver(i);
        if (name == "offscreen" || name == "dummy") continue;
        if (!drivers.empty()) drivers += ',';
        drivers += name;
    }
    return drivers;
}

bool with_stderr_held(bool (*attempt)(), std::string* held) {
    held->clear();
#ifdef _WIN32
    return attempt();  // a windowed program: its standard error goes nowhere anyway
#else
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
#endif
}

}  // namespace platform
