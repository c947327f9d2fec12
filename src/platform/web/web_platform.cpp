// What the web page does its own way, on SDL2 built for Emscripten: the
// display, the window's making and the boxes. The event queue, the quit path
// and the GL surface are the desktop's (window.cpp).
//
// The window is the page's canvas, fixed at 800 by 600. Full screen is the
// browser's full screen of that canvas, asked for by the page when the person
// answers Yes (only a click may ask for it); the canvas keeps its 800 by 600
// pixels and the browser scales them, as a display switched to 800 by 600
// would. Frames follow the browser's animation frames (web_main.cpp), whatever
// swap interval the surface asks for. Boxes are the browser's own modal alert.
#include <SDL.h>
#include <emscripten.h>

#include <cstdio>

#include "platform/platform.h"
#include "platform/system.h"
#include "platform/web/gl_compat.h"

namespace platform {

// A page has no signals and nothing to put back when it ends.
void on_video_started() {}
void close_display() {}  // the page outlives the program
void act_on_exit_request() {}

void finish_frame_commands() { compat_flush(); }  // the frame's last primitives
void frame_swapped() {}
void release_frame_target() {}
bool frame_target_size(int*, int*) { return false; }

bool wayland_session() { return false; }  // the browser's full screen is no mode switch

// The page asks WebGL itself, before it sizes the canvas.
bool software_renderer() { return false; }

// The page sizes its canvas to the frame before the show starts.
bool set_frame_size(int width, int height, std::string* why) {
    int canvasWidth, canvasHeight;
    drawable_size(&canvasWidth, &canvasHeight);
    if (width == canvasWidth && height == canvasHeight) return true;
    *why = "the page's canvas is " + std::to_string(canvasWidth) + "x" + std::to_string(canvasHeight);
    return false;
}

Answer show_system_box(const MessageBoxRecord& box) {
    const char* text = box.text.c_str();
    const char* caption = box.caption.c_str();
    std::fprintf(stderr, "%s: %s\n", caption, text);
    if (box.buttons == Buttons::YesNo)
        return EM_ASM_INT({ return confirm(UTF8ToString($0) + "\n\n" + UTF8ToString($1)) ? 1 : 0; }, caption, text)
                   ? Answer::Yes
                   : Answer::No;
    EM_ASM({ alert(UTF8ToString($0) + "\n\n" + UTF8ToString($1)); }, caption, text);
    return Answer::Ok;
}

// The page's full screen is the mode; there is nothing to choose.
DisplaySwitch switch_display_mode(int, int) { return DisplaySwitch::Switched; }

void restore_display_mode() {
    EM_ASM({
        if (document.fullscreenElement) document.exitFullscreen().catch(function() {});
    });
}

// The page scales its canvas itself, in the browser's full screen.
bool open_scaled_window(const char*, int, int, std::string* why) {
    *why = "a web page has no desktop window";
    return false;
}

bool open_window(const char* title, int width, int height, bool) {
    if (!ensure_video()) return false;
    // WebGL 1 through Emscripten's legacy GL emulation: an OpenGL ES 2 context
    // underneath. No alpha: the show clears with alpha 0.5, which would let
    // the page show through the canvas.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    // Not resizable: the canvas keeps the show's size in the page and in full screen.
    MainWindow.window = SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL);
    MainWindow.glCapable = MainWindow.window != nullptr;
    return MainWindow.window != nullptr;
}

// The browser's audio says nothing on its own.
void hush_audio_library() {}
void unhush_audio_library() {}

}  // namespace platform
