#pragma once
// The show's command line: the start-up question answered ahead (the scaled
// full screen among the answers), the frame ceiling, a show that starts again
// at its end, and figures printed at the end. With no option the show runs as
// it always has, question included.
#include <string>
#include <vector>

// --max-fps auto: the display's refresh where it is known, else 60.
constexpr int AutoFps = -1;

struct ShowOptions {
    enum class Screen { Ask, Window, FullScreen, Scaled };
    Screen screen = Screen::Ask;  // --window, --fullscreen, --scaled: the start-up question answered ahead
    int maxFps = AutoFps;         // --max-fps: frames a second at most; 0: as many as the machine draws
    bool frameCounted = false;    // --frame-counted: the scenes move one step a drawn frame, no ceiling
    int renderScale = 0;          // --render-scale: the frame is this many times 800x600; 0: auto
    bool loop = false;            // --loop: from second 0 again at the end of the schedule
    bool stats = false;           // --stats: frames and frame times per showing, printed at the end
    bool help = false;            // --help: every option, and nothing else
};

// The arguments after the program's name. False with *error set (one line:
// which option and why) on an unknown option or a missing or bad value.
bool parse_show_options(const std::vector<std::string>& args, ShowOptions* options, std::string* error);

std::string show_usage_line();  // "usage: show [--window] ...", no line end
std::string show_help();        // the usage line, then every option with its default
