// The desktop's display and window: the full-screen mode the show switches
// to, its window over it, and the user's display put back on every way out.
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstring>

#include "platform/desktop/desktop.h"
#include "platform/desktop/scaled_frame.h"
#include "platform/desktop/display_probe.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "platform/window_placement.h"

namespace platform {
namespace {

struct DisplayState {
    bool modeChosen = false;     // a full-screen mode waits for the window
    SDL_DisplayMode mode{};
    bool fullScreen = false;     // the window holds the display in that mode
};
DisplayState UserDisplay;  // written by this file only

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

void restore_user_display() {
    if (MainWindow.window && UserDisplay.fullScreen) SDL_SetWindowFullscreen(MainWindow.window, 0);
    if (MainWindow.cursorHidden) SDL_ShowCursor(SDL_ENABLE);
    MainWindow.cursorHidden = false;
}

void on_video_started() { watch_exit_signals(); }

// The context is let go first, so that the GL driver's worker threads wind
// down before the process does.
void close_display() {
    restore_user_display();
    release_gl_surface();
    SDL_Quit();
}

// The driver's own GL needs no help; a frame of its own is shown in the window.
void finish_frame_commands() {
    int width, height;
    if (!scaled_frame_size(&width, &height)) return;
    drawable_size(&width, &height);
    present_scaled_frame(width, height);
}

void frame_swapped() { resume_scaled_frame(); }

void release_frame_target() { close_scaled_frame(); }

bool frame_target_size(int* width, int* height) { return scaled_frame_size(width, height); }

bool set_frame_size(int width, int height, std::string* why) {
    if (!MainWindow.context) {
        *why = "no GL surface";
        return false;
    }
    int surfaceWidth, surfaceHeight, frameWidth, frameHeight;
    drawable_size(&surfaceWidth, &surfaceHeight);
    // A scaled full screen keeps a frame of its own, whatever its size.
    const bool framed = scaled_frame_size(&frameWidth, &frameHeight);
    if (!framed && width == surfaceWidth && height == surfaceHeight) return true;
    if (open_scaled_frame(width, height, why)) return true;  // at once where it is that size already
    // The frame as it was: the old one went with the attempt.
    if (framed) open_scaled_frame(frameWidth, frameHeight, nullptr);
    return false;
}

bool wayland_session() {
    const char* driver = ensure_video() ? SDL_GetCurrentVideoDriver() : nullptr;
    if (driver && std::strcmp(driver, "wayland") == 0) return true;
    // Xwayland's clients see the compositor's socket in their session's environment.
    const char* socket = SDL_getenv("WAYLAND_DISPLAY");
    return driver && std::strcmp(driver, "x11") == 0 && socket && *socket;
}

bool software_renderer() {
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (!renderer) return false;
    for (const char* name : {"llvmpipe", "softpipe", "Software Rasterizer", "SwiftShader", "swrast"})
        if (std::strstr(renderer, name)) return true;
    return false;
}

bool open_display(std::string* why) {
    // Only drivers that can be seen; an SDL_VIDEODRIVER of the user's still wins.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, visible_video_drivers().c_str());
    std::string said;
    if (with_stderr_held(ensure_video, &said)) return true;
    *why = SDL_GetError();
    if (!said.empty()) *why += "; " + said;
    return false;
}

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
    UserDisplay.mode = best;
    UserDisplay.modeChosen = true;
    return DisplaySwitch::Switched;
}

void restore_display_mode() {
    restore_user_display();
    UserDisplay.fullScreen = false;
    UserDisplay.modeChosen = false;
}

bool open_window(const char* title, int width, int height, bool fullScreen) {
    if (!ensure_video()) return false;
    set_gl_attributes();
    // HiDPI: the window keeps its size in the desktop's units, its surface gets the display's pixels.
    Uint32 flags = (fullScreen ? SDL_WINDOW_BORDERLESS : SDL_WINDOW_RESIZABLE) | SDL_WINDOW_ALLOW_HIGHDPI;
    if (fullScreen && UserDisplay.modeChosen) flags |= SDL_WINDOW_FULLSCREEN;
    MainWindow.window = SDL_CreateWindow(title, 0, 0, width, height, flags | SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    MainWindow.glCapable = MainWindow.window != nullptr;
    if (!MainWindow.window)  // no GL visual: the window still opens, the surface will fail
        MainWindow.window = SDL_CreateWindow(title, 0, 0, width, height, flags | SDL_WINDOW_HIDDEN);
    if (!MainWindow.window) return false;
    place_frame_at_origin(MainWindow.window);
    if (flags & SDL_WINDOW_FULLSCREEN) {
        SDL_SetWindowDisplayMode(MainWindow.window, &UserDisplay.mode);
        UserDisplay.fullScreen = true;
    }
    SDL_ShowWindow(MainWindow.window);
    SDL_RaiseWindow(MainWindow.window);
    return true;
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
    MainWindow.window = SDL_CreateWindow(title, 0, 0, desktop.w, desktop.h,
                                SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS | SDL_WINDOW_OPENGL |
                                    SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!MainWindow.window) {
        *why = SDL_GetError();
        return false;
    }
    MainWindow.context = SDL_GL_CreateContext(MainWindow.window);
    if (MainWindow.context) SDL_GL_MakeCurrent(MainWindow.window, MainWindow.context);
    if (!MainWindow.context || !open_scaled_frame(width, height, why)) {
        if (!MainWindow.context) *why = SDL_GetError();
        release_gl_surface();
        SDL_DestroyWindow(MainWindow.window);
        MainWindow.window = nullptr;
        return false;
    }
    MainWindow.glCapable = true;
    SDL_ShowWindow(MainWindow.window);
    SDL_RaiseWindow(MainWindow.window);
    return true;
}

}  // namespace platform
