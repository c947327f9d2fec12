// The show's entry: the one question, the window, the context with all of
// start-up, then frames until a quit request.
#include <cstring>

#include "platform/platform.h"
#include "shell/shell.h"
#include "timeline/demo.h"
#include "timeline/scene_context.h"

namespace {

// TEMPORARY, until the show's command line (src/shell/options) lands and
// takes these two into its table: --scaled and --loop, anything else ignored.
void read_scaled_and_loop(int argc, char** argv, bool* loop) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scaled") == 0) ScaledFullScreen = true;
        if (std::strcmp(argv[i], "--loop") == 0) *loop = true;
    }
}

}  // namespace

// Exit code: 1 when no window can be made, else the quit request's code.
int main(int argc, char** argv) {
    bool loop = false;
    read_scaled_and_loop(argc, argv, &loop);
    if (loop) set_schedule_end(restart_show);
    // --scaled answers the question ahead: full screen, the scaled kind.
    if (!ScaledFullScreen &&
        platform::show_message(QuestionText, QuestionCaption, platform::Buttons::YesNo) == platform::Answer::No)
        FullScreen = false;
    if (!create_gl_window(WindowTitle, ScreenWidth, ScreenHeight, FullScreen)) return 1;
    init_gl();
    return run_message_loop();
}
