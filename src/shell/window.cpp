// The main window, the full-screen switch, the message loop and the window procedure.
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "shell/shell.h"
#include "timeline/demo.h"

const char* const QuestionText = "Full of screenshiiiet? (fullscreen?)";
const char* const QuestionCaption = "Z_U Base System";
const char* const WindowTitle = "Z_U OpenGl Base";

bool FullScreen = true;

bool create_gl_window(const char* title, int width, int height, bool fullScreen) {
    if (fullScreen && Picture.scaled && open_scaled_full_screen(title, width, height)) return true;
    if (fullScreen) {
        enter_full_screen();
        platform::show_cursor(false);
    }
    return platform::open_window(title, width, height, fullScreen);
}

// The desktop keeps its mode; the window covers it and shows the show's
// width by height picture scaled. Where the driver cannot, one line says
// why, and the ordinary full screen follows.
bool open_scaled_full_screen(const char* title, int width, int height) {
    platform::show_cursor(false);
    std::string why;
    if (platform::open_scaled_window(title, width, height, &why)) return true;
    std::fprintf(stderr, "No scaled full screen (%s): switching the display to %dx%d instead\n", why.c_str(), width,
                 height);
    Picture.scaled = false;
    return false;
}

void enter_full_screen() {
    switch (platform::switch_display_mode(ScreenWidth, ScreenHeight)) {
    case platform::DisplaySwitch::Switched:
        break;
    case platform::DisplaySwitch::CannotRead:
        // The show goes on in a borderless window over the unchanged display.
        platform::show_message("Could Not Enum Display Settings", "Error");
        break;
    case platform::DisplaySwitch::NotCompatible:
        platform::show_message("Display Mode Not Compatible", "Error");
        platform::post_quit(1);  // the show never runs: not a success
        break;
    }
}

int run_message_loop(bool loop) {
    for (;;) {
        platform::Event event;
        if (!platform::take_event(&event)) {
            // The end of the schedule leaves as Escape does, or starts again.
            if (!draw_paced_frame()) loop ? restart_show() : kill_gl_window();
            continue;
        }
        if (event.type == platform::EventType::Quit) return event.exitCode;
        dispatch_event(event);
    }
}

namespace {

// The message each event stands for; 0 for those the window procedure never sees.
unsigned message_of(platform::EventType type) {
    switch (type) {
    case platform::EventType::KeyDown: return WM_KEYDOWN;
    case platform::EventType::Close: return WM_DESTROY;
    case platform::EventType::Resize: return WM_SIZE;
    case platform::EventType::Paint: return WM_PAINT;
    case platform::EventType::Quit:
    case platform::EventType::Other: break;
    }
    return 0;
}

}  // namespace

void dispatch_event(const platform::Event& event) {
    if (const unsigned message = message_of(event.type)) window_proc(message, event);
}

long window_proc(unsigned message, const platform::Event& event) {
    switch (message) {
    case WM_DESTROY:
        kill_gl_window();
        return 0;
    case WM_SIZE:
        if (!FullScreen) resize_gl_view(event.width, event.height);
        return 0;
    case WM_PAINT:
        return 0;  // frames are drawn by the loop
    case WM_KEYDOWN:
        if (event.key == int(VK_ESCAPE)) kill_gl_window();
        return 0;
    default:
        return 0;
    }
}

void leave_show() {
    print_frame_stats();
    platform::close_display();
    RenderContext = false;
}

void kill_gl_window() {
    if (RenderContext) platform::release_gl_surface();
    RenderContext = false;
    if (FullScreen) {
        platform::restore_display_mode();
        platform::show_cursor(true);
    }
    platform::post_quit(0);
}
