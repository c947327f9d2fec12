// The show's entry: the one question, the window, the context with all of
// start-up, then frames until a quit request.
#include "platform/platform.h"
#include "shell/shell.h"
#include "timeline/scene_context.h"

// Exit code: 1 when no window can be made, else the quit request's code.
int main() {
    if (platform::show_message(QuestionText, QuestionCaption, platform::Buttons::YesNo) == platform::Answer::No)
        FullScreen = false;
    if (!create_gl_window(WindowTitle, ScreenWidth, ScreenHeight, FullScreen)) return 1;
    init_gl();
    return run_message_loop();
}
