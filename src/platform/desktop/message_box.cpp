// The desktop's modal box: SDL's, with the reason on stderr when none could be shown.
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "platform/platform.h"
#include "platform/system.h"

namespace platform {
namespace {

const int YesButton = 1;
const int NoButton = 2;
const int OkButton = 3;

// Every error SDL raises while it tries its ways of showing a box, so that a box
// that never came up can be explained. SDL_GetError() alone names only the last
// way tried (zenity, seldom there), and SDL's X11 box runs in a forked child whose
// error never comes back: the errors travel through a pipe that child inherits.
class ErrorTrail {
public:
    ErrorTrail() {
        SDL_LogGetOutputFunction(&previous_, &previousData_);
        previousPriority_ = SDL_LogGetPriority(SDL_LOG_CATEGORY_ERROR);
#ifndef _WIN32
        if (pipe(pipe_) == 0) {
            for (int fd : pipe_) fcntl(fd, F_SETFL, O_NONBLOCK);
        } else {
            pipe_[0] = pipe_[1] = -1;
        }
#endif
        Current = this;
        SDL_LogSetOutputFunction(&ErrorTrail::log, nullptr);
        SDL_LogSetPriority(SDL_LOG_CATEGORY_ERROR, SDL_LOG_PRIORITY_DEBUG);  // SDL_SetError logs at this level
    }
    ~ErrorTrail() {
        SDL_LogSetPriority(SDL_LOG_CATEGORY_ERROR, previousPriority_);
        SDL_LogSetOutputFunction(previous_, previousData_);
        Current = nullptr;
#ifndef _WIN32
        for (int fd : pipe_) {
            if (fd >= 0) close(fd);
        }
#endif
    }
    ErrorTrail(const ErrorTrail&) = delete;
    ErrorTrail& operator=(const ErrorTrail&) = delete;

    // The errors in the order they were raised, "; " between them.
    std::string text() {
#ifndef _WIN32
        char chunk[256];
        ssize_t got;
        while (pipe_[0] >= 0 && (got = read(pipe_[0], chunk, sizeof chunk)) > 0) kept_.append(chunk, size_t(got));
#endif
        std::string joined;
        size_t start = 0;
        for (size_t end; (end = kept_.find('\n', start)) != std::string::npos; start = end + 1) {
            if (end == start) continue;
            if (!joined.empty()) joined += "; ";
            joined.append(kept_, start, end - start);
        }
        return joined.empty() ? SDL_GetError() : joined;
    }

private:
#ifndef _WIN32
    // A plain write: this may run in SDL's forked child.
    static void put(int fd, const char* bytes, size_t size) {
        for (ssize_t done; size > 0 && (done = write(fd, bytes, size)) > 0; bytes += done, size -= size_t(done)) {
        }
    }
#endif
    static void log(void*, int category, SDL_LogPriority priority, const char* message) {
        ErrorTrail* trail = Current;
        if (category != SDL_LOG_CATEGORY_ERROR || priority != SDL_LOG_PRIORITY_DEBUG) {
            if (trail->previous_) trail->previous_(trail->previousData_, category, priority, message);
            return;
        }
#ifndef _WIN32
        if (trail->pipe_[1] >= 0) {
            put(trail->pipe_[1], message, std::strlen(message));
            put(trail->pipe_[1], "\n", 1);
            return;
        }
#endif
        trail->kept_ += message;
        trail->kept_ += '\n';
    }

    static ErrorTrail* Current;
    SDL_LogOutputFunction previous_ = nullptr;
    void* previousData_ = nullptr;
    SDL_LogPriority previousPriority_ = SDL_LOG_PRIORITY_CRITICAL;
    std::string kept_;
#ifndef _WIN32
    int pipe_[2] = {-1, -1};
#endif
};
ErrorTrail* ErrorTrail::Current = nullptr;
}  // namespace

Answer show_system_box(const MessageBoxRecord& box) {
    const SDL_MessageBoxButtonData yesNo[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, NoButton, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, YesButton, "Yes"},
    };
    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, OkButton, "OK"},
    };
    SDL_MessageBoxData data{};
    data.flags = box.buttons == Buttons::YesNo ? SDL_MESSAGEBOX_INFORMATION : SDL_MESSAGEBOX_ERROR;
    data.window = box.owned ? SDL_GetKeyboardFocus() : nullptr;
    data.title = box.caption.c_str();
    data.message = box.text.c_str();
    data.numbuttons = box.buttons == Buttons::YesNo ? 2 : 1;
    data.buttons = box.buttons == Buttons::YesNo ? yesNo : ok;

    int pressed = 0;
    int shown;
    std::string why;
    {
        ErrorTrail trail;
        shown = SDL_ShowMessageBox(&data, &pressed);
        if (shown != 0) why = trail.text();
    }
    if (shown != 0) {
        // No box: the message still reaches the user, and the next line says why.
        std::fprintf(stderr, "%s: %s\n(no message box: %s)\n", box.caption.c_str(), box.text.c_str(), why.c_str());
        return Answer::Failed;
    }
    switch (pressed) {
    case YesButton: return Answer::Yes;
    case NoButton: return Answer::No;
    case OkButton: return Answer::Ok;
    default: return Answer::Failed;  // closed without a button
    }
}

}  // namespace platform
