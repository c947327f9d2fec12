// The show's options: one row each.
#include "shell/options.h"

#include <cerrno>
#include <cstdlib>

#include "textures/render_target.h"

namespace {

using Screen = ShowOptions::Screen;

// Takes the option; empty, or why it cannot.
using Apply = std::string (*)(ShowOptions& options, const std::string& value);

struct OptionRow {
    const char* name;
    const char* value;  // the value's name in the help; nullptr: a switch, no value
    const char* help;   // what it does, and its default
    Apply apply;
};

const char* answer_name(Screen screen) {
    switch (screen) {
    case Screen::Window: return "--window";
    case Screen::FullScreen: return "--fullscreen";
    case Screen::Scaled: return "--scaled";
    case Screen::Ask: break;
    }
    return "";
}

std::string answer(ShowOptions& options, Screen screen) {
    if (options.screen != Screen::Ask && options.screen != screen)
        return std::string(answer_name(options.screen)) + " and " + answer_name(screen) +
               " answer the question two ways";
    options.screen = screen;
    return "";
}

std::string whole_number(const std::string& text, int low, int high, int* out) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
        return "not a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    *out = int(value);
    return "";
}

std::string render_scale(const std::string& text, int* out) {
    if (text == "auto") return *out = 0, std::string();
    return whole_number(text, 1, MaxRenderScale, out).empty()
               ? "" : "not auto or a whole number from 1 to " + std::to_string(MaxRenderScale);
}

std::string max_fps(const std::string& text, int* out) {
    if (text == "auto") return *out = AutoFps, std::string();
    return whole_number(text, 0, 1000, out).empty() ? "" : "not auto or a whole number from 0 to 1000";
}

// One row an option (and its field in ShowOptions); the usage line and --help are read from here.
const OptionRow Options[] = {
    {"--window", nullptr, "run in an 800x600 window, without asking (default: ask)",
     [](ShowOptions& o, const std::string&) { return answer(o, Screen::Window); }},
    {"--fullscreen", nullptr, "run full screen at 800x600, without asking (default: ask)",
     [](ShowOptions& o, const std::string&) { return answer(o, Screen::FullScreen); }},
    {"--scaled", nullptr,
     "run full screen at the desktop's resolution, without asking: the picture scaled, 4:3 kept, "
     "between black bars, no display-mode switch (default: ask)",
     [](ShowOptions& o, const std::string&) { return answer(o, Screen::Scaled); }},
    {"--render-scale", "N",
     "draw the frame at N times 800x600, 1 to 4, or auto: as many as the screen's picture has pixels "
     "with --scaled (1 on a software GL) and in a window, 1 with --fullscreen (default auto)",
     [](ShowOptions& o, const std::string& v) { return render_scale(v, &o.renderScale); }},
    {"--max-fps", "N",
     "draw at most N frames a second, 0 to 1000, or auto: the display's refresh where it is known, else 60; "
     "0: as many as the machine can (default auto)",
     [](ShowOptions& o, const std::string& v) { return max_fps(v, &o.maxFps); }},
    {"--frame-counted", nullptr,
     "move the scenes one step per drawn frame, as the show first did, and draw as many frames as the machine "
     "can (--max-fps still sets a ceiling): the motion runs at the frame rate's pace, not the clock's "
     "(default: off)",
     [](ShowOptions& o, const std::string&) { return o.frameCounted = true, std::string(); }},
    {"--loop", nullptr, "at the end of the show, start again from its beginning, until Escape or close (default: end)",
     [](ShowOptions& o, const std::string&) { return o.loop = true, std::string(); }},
    {"--stats", nullptr,
     "at the end, print each showing's frames, frames a second, positions a second (60: the designed pace) "
     "and longest frame (default: off)",
     [](ShowOptions& o, const std::string&) { return o.stats = true, std::string(); }},
    {"--help", nullptr, "print this and exit",
     [](ShowOptions& o, const std::string&) { return o.help = true, std::string(); }},
};

const OptionRow* find_option(const std::string& name) {
    for (const OptionRow& row : Options)
        if (name == row.name) return &row;
    return nullptr;
}

bool fail(std::string* error, const std::string& message) {
    *error = message;
    return false;
}

}  // namespace

bool parse_show_options(const std::vector<std::string>& args, ShowOptions* options, std::string* error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        const OptionRow* row = find_option(name);
        if (!row) return fail(error, (name.rfind("-", 0) == 0 ? "unknown option " : "unexpected argument ") + name);
        std::string value;
        if (row->value) {
            if (i + 1 >= args.size()) return fail(error, name + " needs a value: " + row->value);
            value = args[++i];
        }
        const std::string why = row->apply(*options, value);
        if (!why.empty()) return fail(error, name + (row->value ? " " + value : "") + ": " + why);
    }
    return true;
}

std::string show_usage_line() {
    std::string line = "usage: show";
    for (const OptionRow& row : Options) line += std::string(" [") + row.name + (row.value ? std::string(" ") + row.value : "") + "]";
    return line;
}

std::string show_help() {
    std::string text = show_usage_line() +
                       "\nThe show, run in the working folder, which holds its textures, meshes and tune.\n\n";
    for (const OptionRow& row : Options) {
        std::string left = std::string("  ") + row.name + (row.value ? std::string(" ") + row.value : "");
        left.resize(20, ' ');
        text += left + row.help + "\n";
    }
    return text + "\n--fullscreen switches the display to 800x600, as the show was made to do (on Wayland, which\n"
                  "cannot switch modes, it and Yes take --scaled, and say so). Prefer --scaled on\n"
                  "wide screens (no stretched picture), under Wayland (no display modes to switch) and wherever\n"
                  "a mode switch upsets the desktop or could leave it at 800x600; it needs OpenGL 3.0 or\n"
                  "framebuffer objects, and says so and switches the display where the driver has neither.\n"
                  "\n--render-scale draws the picture itself at the screen's size, not 800x600 blown up: with\n"
                  "--scaled a 1080-line screen gets 2, 1440 lines 3, 2160 lines 4, a HiDPI window its pixels.\n"
                  "Give a number to choose: 1 where the GPU is slow, more than auto for supersampling (the\n"
                  "frame filtered down). Where the driver cannot draw that large, it says so and takes the\n"
                  "largest it can. --stats prints the frame's size.\n"
                  "\nThe scenes were made for 60 frames a second. Each frame is drawn where the show's clock\n"
                  "stands, so every motion keeps that pace at any frame rate: a slow machine draws fewer\n"
                  "frames of the same motion, a 144 Hz display a picture of its own on every refresh.\n"
                  "--frame-counted moves the scenes one step per drawn frame instead, as the show first did:\n"
                  "faster on a faster machine, slower on a slower one.\n"
                  "\nExit codes: 0 at the end of the show, on Escape or when its window closes; 1 when it\n"
                  "cannot run (no window, no 800x600 display mode); 2 for a bad option.\n";
}
