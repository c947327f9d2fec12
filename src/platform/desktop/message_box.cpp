// The desktop's modal box: SDL's, with the reason on stderr when none could be shown.
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/desktop/desktop.h"
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
        open_error_pipe(pipe_);
        Current = this;
        SDL_LogSetOutputFunction(&ErrorTrail::log, nullptr);
        SDL_LogSetPriority(SDL_LOG_CATEGORY_ERROR, SDL_LOG_PRIORITY_DEBUG);  // SDL_SetError logs at this level
    }
    ~ErrorTrail() {
        SDL_LogSetPriority(SDL_LOG_CATEGORY_ERROR, previousPriority_);
        SDL_LogSetOutputFunction(previous_, previousData_);
        Current = nullptr;
        close_error_pipe(pipe_);
    }
    ErrorTrail(const ErrorTrail&) = delete;
    ErrorTrail& operator=(const ErrorTrail&) = delete;

    // The errors in the order they were raised, "; " between them.
    std::string text() {
        read_error_pipe(pipe_[0], &kept_);
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
    static void log(void*, int category, SDL_LogPriority priority, const char* message) {
        ErrorTrail* trail = Current;
        if (category != SDL_LOG_CATEGORY_ERROR || priority != SDL_LOG_PRIORITY_DEBUG) {
            if (trail->previous_) trail->previous_(trail->previousData_, category, priority, message);
            return;
        }
        if (trail->pipe_[1] >= 0) {  // this may run in SDL's forked child
            write_error_pipe(trail->pipe_[1], message, std::strlen(message));
            write_error_pipe(trail->pipe_[1], "\n", 1);
            return;
        }
        trail->kept_ += message;
        trail->kept_ += '\n';
    }

    static ErrorTrail* Current;
    SDL_LogOutputFunction previous_ = nullptr;
    void* previousData_ = nullptr;
    SDL_LogPriority previousPriority_ = SDL_LOG_PRIORITY_CRITICAL;
    std::string kept_;
    int pipe_[2] = {-1, -1};
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
