// The SDL window every target shares: video start, cursor, client size, GL
// surface, event queue and quit path. What a target does its own way (the
// display mode, the window's making, its boxes, the way out) it supplies
// through system.h.
#include <SDL.h>

#include "platform/platform.h"
#include "platform/system.h"

namespace platform {

WindowState MainWindow;

bool ensure_video() {
    if (MainWindow.videoReady) return true;
    // SDL's own handlers would turn SIGINT and SIGTERM into a quit event the
    // show ignores; where a target has signals, it handles them itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    MainWindow.videoReady = true;
    MainWindow.quitEvent = SDL_RegisterEvents(1);
    on_video_started();
    if (MainWindow.quitPending) post_quit(MainWindow.quitCode);
    MainWindow.quitPending = false;
    return true;
}

void show_cursor(bool visible) {
    if (!ensure_video()) return;
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    MainWindow.cursorHidden = !visible;
}

void client_size(int* width, int* height) {
    if (MainWindow.window && frame_target_size(width, height)) return;
    drawable_size(width, height);
}

void drawable_size(int* width, int* height) {
    *width = *height = 0;
    if (!MainWindow.window) return;
    if (MainWindow.glCapable) SDL_GL_GetDrawableSize(MainWindow.window, width, height);
    else SDL_GetWindowSize(MainWindow.window, width, height);
}

SurfaceStatus create_gl_surface() {
    if (!MainWindow.window || !MainWindow.glCapable) return SurfaceStatus::NoPixelFormat;
    if (!MainWindow.context) MainWindow.context = SDL_GL_CreateContext(MainWindow.window);  // a scaled window made its own already
    if (!MainWindow.context) return SurfaceStatus::FormatRefused;
    SDL_GL_MakeCurrent(MainWindow.window, MainWindow.context);
    SDL_GL_SetSwapInterval(1);
    return SurfaceStatus::Ready;
}

void release_gl_surface() {
    if (!MainWindow.context) return;
    release_frame_target();
    SDL_GL_MakeCurrent(MainWindow.window, nullptr);
    SDL_GL_DeleteContext(MainWindow.context);
    MainWindow.context = nullptr;
}

void swap_buffers() {
    if (!MainWindow.context) return;
    finish_frame_commands();
    SDL_GL_SwapWindow(MainWindow.window);
    frame_swapped();
}

bool take_event(Event* event) {
    act_on_exit_request();
    *event = Event{};
    if (!MainWindow.videoReady) {
        if (!MainWindow.quitPending) return false;
        MainWindow.quitPending = false;
        event->type = EventType::Quit;
        event->exitCode = MainWindow.quitCode;
        return true;
    }
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    if (e.type == MainWindow.quitEvent) {
        event->type = EventType::Quit;
        event->exitCode = e.user.code;
    } else if (e.type == SDL_KEYDOWN) {
        event->type = EventType::KeyDown;
        event->key = e.key.keysym.sym == SDLK_ESCAPE ? KeyEscape : int(e.key.keysym.sym);
    } else if (e.type == SDL_WINDOWEVENT) {
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: event->type = EventType::Close; break;
        case SDL_WINDOWEVENT_EXPOSED: event->type = EventType::Paint; break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // What the show now draws at: the window's pixels, which on a HiDPI
            // display are more than its size, or an unchanged frame of its own.
            event->type = EventType::Resize;
            client_size(&event->width, &event->height);
            break;
        default: break;
        }
    }
    return true;
}

void post_quit(int exitCode) {
    if (!MainWindow.videoReady) {
        MainWindow.quitPending = true;
        MainWindow.quitCode = exitCode;
        return;
    }
    SDL_Event e{};
    e.type = MainWindow.quitEvent;
    e.user.code = exitCode;
    SDL_PushEvent(&e);
}

}  // namespace platform
