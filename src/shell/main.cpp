// The show's entry: the one question, the window, the context with all of
// start-up, then frames until a quit request.
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "shell/shell.h"
#include "timeline/scene_context.h"

// Exit code: 1 when no display or window can be had, else the quit request's code.
int main() {
    // Over SSH or in a container there is nothing to show on: say that, rather
    // than a display-mode message that sends the user looking elsewhere.
    std::string why;
    if (!platform::open_display(&why)) {
        std::fprintf(stderr, "show: no display could be opened (%s); the show needs a desktop session "
                             "(an X11 or Wayland display, or DISPLAY set)\n", why.c_str());
        return 1;
    }
    if (platform::show_message(QuestionText, QuestionCaption, platform::Buttons::YesNo) == platform::Answer::No)
        FullScreen = false;
    if (!create_gl_window(WindowTitle, ScreenWidth, ScreenHeight, FullScreen)) return 1;
    init_gl();
    return run_message_loop();
}
