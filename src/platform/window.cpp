// Window, display mode, cursor, GL surface and event queue on SDL2.
#include <SDL.h>

#include <csignal>
#include <cstdlib>

#include "platform/exit_signals.h"
#include "platform/platform.h"
#include "platform/scaled_frame.h"
#include "platform/window_placement.h"

namespace platform {
namespace {

struct WindowState {
    bool videoReady = false;
    bool modeChosen = false;     // a full-screen mode waits for the window
    SDL_DisplayMode mode{};
    SDL_Window* window = nullptr;
    bool glCapable = false;      // the window got a GL visual
    SDL_GLContext context = nullptr;
    bool fullScreen = false;
    bool scaled = false;         // a desktop-size window showing the show's picture scaled
    int pictureWidth = 0;        // scaled: the show's picture, in pixels
    int pictureHeight = 0;
    bool cursorHidden = false;
    Uint32 quitEvent = 0;
    bool quitPending = false;    // a quit posted before the event queue existed
    int quitCode = 0;
};
WindowState W;  // written by this file only

// Puts back the user's display mode and cursor. Runs on every way out.
void restore_user_display() {
    if (W.window && W.fullScreen) SDL_SetWindowFullscreen(W.window, 0);
    if (W.cursorHidden) SDL_ShowCursor(SDL_ENABLE);
    W.cursorHidden = false;
}

void release_context() {
    if (!W.context) return;
    if (W.scaled) close_scaled_frame();
    SDL_GL_MakeCurrent(W.window, nullptr);
    SDL_GL_DeleteContext(W.context);
    W.context = nullptr;
}

// The show may end with exit() from inside a frame: the context is let go
// first, so the GL driver's worker threads wind down before the process does.
void restore_at_exit() {
    restore_user_display();
    release_context();
    SDL_Quit();
}

// Dies of the signal, as the process would have without the show, once the
// display is back.
void die_of(int sig) {
    restore_user_display();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
    std::_Exit(128 + sig);
}

volatile std::sig_atomic_t PendingSignal = 0;  // an end asked for by a signal, not yet acted on

// Putting the display back calls SDL, which may wait for a lock (malloc's,
// Xlib's) held by the very code the signal interrupted: a request is only
// noted here, and the show dies of it at its next event check, from its own
// thread. Should that check not come (a box open, a start-up still loading),
// the fallback dies of it anyway; so does a second request.
extern "C" void request_on_signal(int sig) {
    if (PendingSignal) die_of(sig);
    PendingSignal = sig;
    arm_signal_fallback(5, [](int) { die_of(PendingSignal); });
}

// After a fault the process cannot go on: the display is put back at once, as best it can be.
extern "C" void restore_on_fault(int sig) { die_of(sig); }

bool ensure_video() {
    if (W.videoReady) return true;
    // The show restores the display itself on these signals, then dies of them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    W.videoReady = true;
    W.quitEvent = SDL_RegisterEvents(1);
    std::atexit(restore_at_exit);
    on_exit_signals(request_on_signal, restore_on_fault);
    if (W.quitPending) post_quit(W.quitCode);
    W.quitPending = false;
    return true;
}

void set_gl_attributes() {
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BUFFER_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

}  // namespace

DisplaySwitch switch_display_mode(int width, int height) {
    SDL_DisplayMode current;
    if (!ensure_video() || SDL_GetDesktopDisplayMode(0, &current) != 0) return DisplaySwitch::CannotRead;
    // SDL would quietly take the closest mode; the show wants exactly this size.
    bool found = false;
    SDL_DisplayMode best{};
    int modes = SDL_GetNumDisplayModes(0);
    for (int m = 0; m < modes; ++m) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, m, &mode) != 0 || mode.w != width || mode.h != height) continue;
        bool sameFormat = SDL_BITSPERPIXEL(mode.format) == SDL_BITSPERPIXEL(current.format);
        bool sameRate = mode.refresh_rate == current.refresh_rate;
        bool bestSameFormat = SDL_BITSPERPIXEL(best.format) == SDL_BITSPERPIXEL(current.format);
        bool bestSameRate = best.refresh_rate == current.refresh_rate;
        if (!found || (sameFormat + sameRate) > (bestSameFormat + bestSameRate)) best = mode;
        found = true;
    }
    if (!found) return DisplaySwitch::NotCompatible;
    W.mode = best;
    W.modeChosen = true;
    return DisplaySwitch::Switched;
}

void restore_display_mode() {
    restore_user_display();
    W.fullScreen = false;
    W.modeChosen = false;
}

void show_cursor(bool visible) {
    if (!ensure_video()) return;
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    W.cursorHidden = !visible;
}

bool open_window(const char* title, int width, int height, bool fullScreen) {
    if (!ensure_video()) return false;
    set_gl_attributes();
    Uint32 flags = fullScreen ? SDL_WINDOW_BORDERLESS : SDL_WINDOW_RESIZABLE;
    if (fullScreen && W.modeChosen) flags |= SDL_WINDOW_FULLSCREEN;
    W.window = SDL_CreateWindow(title, 0, 0, width, height, flags | SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    W.glCapable = W.window != nullptr;
    if (!W.window)  // no GL visual: the window still opens, the surface will fail
        W.window = SDL_CreateWindow(title, 0, 0, width, height, flags | SDL_WINDOW_HIDDEN);
    if (!W.window) return false;
    place_frame_at_origin(W.window);
    if (flags & SDL_WINDOW_FULLSCREEN) {
        SDL_SetWindowDisplayMode(W.window, &W.mode);
        W.fullScreen = true;
    }
    SDL_ShowWindow(W.window);
    SDL_RaiseWindow(W.window);
    return true;
}

void client_size(int* width, int* height) {
    *width = *height = 0;
    if (!W.window) return;
    if (W.scaled) {
        *width = W.pictureWidth;
        *height = W.pictureHeight;
        return;
    }
    SDL_GetWindowSize(W.window, width, height);
}

// The window, its context and the picture are made together: only a context
// can tell whether the driver has framebuffer objects, and without them
// nothing is kept, so that the ordinary full screen can open in its place.
bool open_scaled_window(const char* title, int width, int height, std::string* why) {
    SDL_DisplayMode desktop;
    if (!ensure_video() || SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
        *why = SDL_GetError();
        return false;
    }
    set_gl_attributes();
    W.window = SDL_CreateWindow(title, 0, 0, desktop.w, desktop.h,
                                SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS | SDL_WINDOW_OPENGL |
                                    SDL_WINDOW_HIDDEN);
    if (!W.window) {
        *why = SDL_GetError();
        return false;
    }
    W.context = SDL_GL_CreateContext(W.window);
    if (W.context) SDL_GL_MakeCurrent(W.window, W.context);
    if (!W.context || !open_scaled_frame(width, height, why)) {
        if (!W.context) *why = SDL_GetError();
        release_context();
        SDL_DestroyWindow(W.window);
        W.window = nullptr;
        return false;
    }
    W.glCapable = true;
    W.scaled = true;
    W.pictureWidth = width;
    W.pictureHeight = height;
    SDL_ShowWindow(W.window);
    SDL_RaiseWindow(W.window);
    return true;
}

SurfaceStatus create_gl_surface() {
    if (!W.window || !W.glCapable) return SurfaceStatus::NoPixelFormat;
    if (!W.context) W.context = SDL_GL_CreateContext(W.window);  // a scaled window made its own already
    if (!W.context) return SurfaceStatus::FormatRefused;
    SDL_GL_MakeCurrent(W.window, W.context);
    SDL_GL_SetSwapInterval(1);
    if (W.scaled && !open_scaled_frame(W.pictureWidth, W.pictureHeight, nullptr)) return SurfaceStatus::FormatRefused;
    return SurfaceStatus::Ready;
}

void release_gl_surface() { release_context(); }

void swap_buffers() {
    if (!W.context) return;
    if (W.scaled) {
        int width, height;
        SDL_GL_GetDrawableSize(W.window, &width, &height);
        present_scaled_frame(width, height);
    }
    SDL_GL_SwapWindow(W.window);
    if (W.scaled) resume_scaled_frame();
}

bool take_event(Event* event) {
    if (PendingSignal) die_of(PendingSignal);
    *event = Event{};
    if (!W.videoReady) {
        if (!W.quitPending) return false;
        W.quitPending = false;
        event->type = EventType::Quit;
        event->exitCode = W.quitCode;
        return true;
    }
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    if (e.type == W.quitEvent) {
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
            event->type = EventType::Resize;
            event->width = e.window.data1;
            event->height = e.window.data2;
            break;
        default: break;
        }
    }
    return true;
}

void post_quit(int exitCode) {
    if (!W.videoReady) {
        W.quitPending = true;
        W.quitCode = exitCode;
        return;
    }
    SDL_Event e{};
    e.type = W.quitEvent;
    e.user.code = exitCode;
    SDL_PushEvent(&e);
}

}  // namespace platform
