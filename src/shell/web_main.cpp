// The show's entry in a web page. The page asks the start-up question itself
// (a click is what lets a browser go full screen and start sound) and starts
// the program with the answer; frames then follow the browser's animation
// frames instead of the desktop's idle loop, each drawn where the clock
// stands at its animation frame: a picture on every refresh of a 144 Hz
// screen, the designed pace at 30 (with ?fps=N, those that come before their
// frame's slot skipped). Every end of the show, Escape and the end of the
// schedule alike, goes through exit(), which the page turns into its "the show
// has ended" page.
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "shell/frame_stats.h"
#include "shell/options.h"
#include "shell/shell.h"
#include "timeline/demo.h"
#include "timeline/scene_context.h"

namespace {

// The main thread's time in each animation frame that drew, for the page's
// bench: the show, the web layer, the browser's GL emulation and WebGL's
// command encoding, all on this thread.
struct FrameCost {
    int second;
    double ms;
};

// The page's frame loop: written by main and animation_frame, read by the
// page's exports.
struct PageLoop {
    // Animation frames come at the display's rate; a show frame is drawn on
    // every one, or under ?fps=N on those whose slot has come.
    FramePacer pacer;
    // Where the frame being drawn stands in the motion: the page's clock as
    // its animation frame began (the browser's own beat, so no beat is measured).
    MotionClock motion;
    FrameMotion drawn{0.0, 1.0};
    // The drawn frames as --stats takes them on the desktop: where the tune
    // was at each second's turn, for the page's tests of the tune against the cuts.
    FrameStats stats;
    std::vector<FrameCost> frameCosts;
};
PageLoop Page;

FrameMotion drawn_motion() { return Page.drawn; }

// One animation frame: the messages that came in since the last one, as the
// desktop loop takes them before it draws, then a frame if its slot has come.
// A quit request posted while handling them (Escape) arrives with the next
// animation frame; the GL context is gone by then, and the browser's GL cannot
// be called without one, so no frame is drawn in between.
void animation_frame() {
    platform::Event event;
    while (platform::take_event(&event)) {
        if (event.type == platform::EventType::Quit) {
            leave_show();
            std::exit(event.exitCode);
        }
        dispatch_event(event);
    }
    const double start = platform::seconds_now();
    if (RenderContext && Page.pacer.take_slot(start)) {
        Page.drawn = Page.motion.at(start, 0.0);
        const int second = elapsed_seconds();
        FrameRecord frame{0, start, Page.drawn.position, platform::music_position()};
        const double calendar = platform::calendar_seconds();
        if (!draw_frame()) kill_gl_window();  // as on Escape: the next animation frame leaves
        frame.second = elapsed_seconds();
        frame.sinceTurn = calendar - double(ClockStart + frame.second);
        Page.stats.add(frame);
        Page.frameCosts.push_back({second, (platform::seconds_now() - start) * 1000.0});
    }
}

}  // namespace

extern "C" {

// The page shows the desktop's question with these words.
EMSCRIPTEN_KEEPALIVE const char* web_question_text() { return QuestionText; }
EMSCRIPTEN_KEEPALIVE const char* web_question_caption() { return QuestionCaption; }

// The browser leaves full screen on Escape without passing the key on; the
// page reports that as the key the show ends on.
EMSCRIPTEN_KEEPALIVE void web_escape() {
    platform::Event escape;
    escape.type = platform::EventType::KeyDown;
    escape.key = platform::KeyEscape;
    dispatch_event(escape);
}

// Where the show is, for the page's tests and measurements.
EMSCRIPTEN_KEEPALIVE int web_elapsed_seconds() { return elapsed_seconds(); }
EMSCRIPTEN_KEEPALIVE double web_frame_counter() { return FrameCounter; }
EMSCRIPTEN_KEEPALIVE double web_frame_position() { return Page.drawn.position; }  // the last drawn frame's
EMSCRIPTEN_KEEPALIVE double web_clock_started_at() { return clock_started_at(); }  // seconds of performance.now; 0: not yet
// Where the tune was when the second began (-1: no frame of it, or no tune).
EMSCRIPTEN_KEEPALIVE double web_tune_at_second(int second) {
    const double tune = Page.stats.tune_at_turn(second);
    return std::isnan(tune) ? -1.0 : tune;
}
EMSCRIPTEN_KEEPALIVE int web_tune_moves() { return platform::music_moves(); }
EMSCRIPTEN_KEEPALIVE int web_tune_late_callbacks() { return platform::music_late_callbacks(); }
// The drawn frames' costs so far: the show's second each was drawn in, and
// its milliseconds.
EMSCRIPTEN_KEEPALIVE int web_frame_costs() { return int(Page.frameCosts.size()); }
EMSCRIPTEN_KEEPALIVE int web_frame_cost_second(int i) {
    return i >= 0 && i < int(Page.frameCosts.size()) ? Page.frameCosts[size_t(i)].second : -1;
}
EMSCRIPTEN_KEEPALIVE double web_frame_cost_ms(int i) {
    return i >= 0 && i < int(Page.frameCosts.size()) ? Page.frameCosts[size_t(i)].ms : -1.0;
}

// The schedule from the scene table, as JSON: [{"name", "first", "last"}, ...].
EMSCRIPTEN_KEEPALIVE const char* web_schedule() {
    static std::string json;
    if (!json.empty()) return json.c_str();
    for (const ScheduleRow& row : Schedule)
        json += std::string(json.empty() ? "[" : ",") + "{\"name\":\"" + showing_name(row) +
                "\",\"first\":" + std::to_string(row.first) + ",\"last\":" + std::to_string(row.last) + "}";
    json += "]";
    return json.c_str();
}

}  // extern "C"

// argv[1]: the page's answer, "yes" or "no"; no answer is taken as Yes, as on
// the desktop every answer but No is. Then the desktop's options that a page
// address can give (?fps=N: --max-fps N), and the render scale the page chose
// for the screen (--render-scale N: the canvas has N times 800x600 pixels);
// one it cannot use is told on the console and the show runs with the defaults.
int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "no") == 0) FullScreen = false;
    ShowOptions options;
    std::string error;
    if (argc > 2 && !parse_show_options(std::vector<std::string>(argv + 2, argv + argc), &options, &error)) {
        std::fprintf(stderr, "show: %s\n", error.c_str());
        options = ShowOptions();
    }
    // The browser's animation frames are the display's refresh: the auto
    // ceiling is none.
    Page.pacer = FramePacer(options.maxFps == AutoFps ? 0 : options.maxFps, SkippingPace);
    Page.frameCosts.reserve(size_t(LastSecond + 2) * 60);
    set_clock_start_wait(platform::seconds_now, platform::sleep_seconds);
    Picture.renderScaleAsked = options.renderScale > 0 ? options.renderScale : 1;
    const int scale = Picture.renderScaleAsked;
    if (!create_gl_window(WindowTitle, ScreenWidth * scale, ScreenHeight * scale, FullScreen))
        std::exit(1);
    init_gl();
    Page.motion.start(clock_started_at());
    set_motion_source(drawn_motion);
    // 0 frames per second: every animation frame of the browser.
    emscripten_set_main_loop(animation_frame, 0, 1);
    return 0;
}
