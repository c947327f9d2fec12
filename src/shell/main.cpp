// The show's entry: its options, the one question (unless answered ahead), the
// window, the context with all of start-up, then frames at their pace until a
// quit request.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "shell/options.h"
#include "shell/shell.h"
#include "timeline/demo.h"
#include "timeline/scene_context.h"

// Exit code: 2 for a bad option, 1 when no display or window can be had, else
// the quit request's code.
int main(int argc, char** argv) {
    platform::attach_console();
    ShowOptions options;
    std::string error;
    if (!parse_show_options(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
        std::fprintf(stderr, "show: %s\n%s\n", error.c_str(), show_usage_line().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(show_help().c_str(), stdout);
        return 0;
    }
    // Over SSH or in a container there is nothing to show on: say that, rather
    // than a display-mode message that sends the user looking elsewhere.
    std::string why;
    if (!platform::open_display(&why)) {
        std::fprintf(stderr, "show: no display could be opened (%s); the show needs a desktop session "
                             "(an X11 or Wayland display, or DISPLAY set)\n", why.c_str());
        return 1;
    }
    switch (options.screen) {
    case ShowOptions::Screen::Ask:
        if (platform::show_message(QuestionText, QuestionCaption, platform::Buttons::YesNo) == platform::Answer::No)
            FullScreen = false;
        break;
    case ShowOptions::Screen::Window: FullScreen = false; break;
    case ShowOptions::Screen::FullScreen: FullScreen = true; break;
    case ShowOptions::Screen::Scaled:
        FullScreen = true;
        Picture.scaled = true;
        break;
    }
    // Wayland only emulates a mode switch, and stretches or crops the picture
    // doing it: the scaled full screen keeps its shape there.
    if (FullScreen && !Picture.scaled && platform::wayland_session()) {
        std::fprintf(stderr, "Wayland cannot switch the display to %dx%d: full screen at the desktop's resolution, "
                             "the picture scaled between black bars\n", ScreenWidth, ScreenHeight);
        Picture.scaled = true;
    }
    Picture.renderScaleAsked = options.renderScale;
    if (options.stats) count_frames();
    set_clock_start_wait(platform::seconds_now, platform::sleep_seconds);
    int exitCode = 1;
    if (create_gl_window(WindowTitle, ScreenWidth, ScreenHeight, FullScreen)) {
        init_gl();
        start_pacing(options.maxFps, options.frameCounted);
        exitCode = run_message_loop(options.loop);
    }
    leave_show();
    return exitCode;
}
