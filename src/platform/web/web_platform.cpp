// The show's desktop services in a web page, on SDL2 built for Emscripten.
//
// The window is the page's canvas, fixed at 800 by 600. Full screen is the
// browser's full screen of that canvas, asked for by the page when the person
// answers Yes (only a click may ask for it); the canvas keeps its 800 by 600
// pixels and the browser scales them, as a display switched to 800 by 600
// would. Boxes are the browser's own modal alert.
#include <SDL.h>
#include <emscripten.h>

#include <cstdio>

#include "platform/platform.h"
#include "platform/web/gl_compat.h"

namespace platform {
namespace {

struct PageState {
    bool videoReady = false;
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    Uint32 quitEvent = 0;
    bool quitPending = false;  // a quit posted before the event queue existed
    int quitCode = 0;
};
PageState P;
MessageSink* Sink = nullptr;

bool ensure_video() {
    if (P.videoReady) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    P.videoReady = true;
    P.quitEvent = SDL_RegisterEvents(1);
    if (P.quitPending) post_quit(P.quitCode);
    P.quitPending = false;
    return true;
}

}  // namespace

void set_message_sink(MessageSink* sink) { Sink = sink; }

Answer show_message(const char* text, const char* caption, Buttons buttons, bool owned) {
    MessageBoxRecord box{text, caption, buttons, owned};
    if (Sink) return Sink->show(box);
    std::fprintf(stderr, "%s: %s\n", caption, text);
    if (buttons == Buttons::YesNo)
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

void show_cursor(bool visible) {
    if (ensure_video()) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
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
    P.window = SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL);
    return P.window != nullptr;
}

void client_size(int* width, int* height) {
    *width = *height = 0;
    if (P.window) SDL_GetWindowSize(P.window, width, height);
}

// The page scales its canvas itself, in the browser's full screen.
bool open_scaled_window(const char*, int, int, std::string* why) {
    *why = "a web page has no desktop window";
    return false;
}

SurfaceStatus create_gl_surface() {
    if (!P.window) return SurfaceStatus::NoPixelFormat;
    P.context = SDL_GL_CreateContext(P.window);
    if (!P.context) return SurfaceStatus::FormatRefused;
    SDL_GL_MakeCurrent(P.window, P.context);
    // No swap interval: the page's frame loop runs on the browser's animation frames.
    return SurfaceStatus::Ready;
}

void release_gl_surface() {
    if (!P.context) return;
    SDL_GL_MakeCurrent(P.window, nullptr);
    SDL_GL_DeleteContext(P.context);
    P.context = nullptr;
}

void swap_buffers() {
    compat_flush();  // the frame's last primitives
    if (P.context) SDL_GL_SwapWindow(P.window);
}

bool take_event(Event* event) {
    *event = Event{};
    if (!P.videoReady) {
        if (!P.quitPending) return false;
        P.quitPending = false;
        event->type = EventType::Quit;
        event->exitCode = P.quitCode;
        return true;
    }
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    if (e.type == P.quitEvent) {
        event->type = EventType::Quit;
        event->exitCode = e.user.code;
    } else if (e.type == SDL_KEYDOWN) {
        event->type = EventType::KeyDown;
        event->key = e.key.keysym.sym == SDLK_ESCAPE ? KeyEscape : int(e.key.keysym.sym);
    }
    return true;
}

void post_quit(int exitCode) {
    if (!P.videoReady) {
        P.quitPending = true;
        P.quitCode = exitCode;
        return;
    }
    SDL_Event e{};
    e.type = P.quitEvent;
    e.user.code = exitCode;
    SDL_PushEvent(&e);
}

}  // namespace platform
