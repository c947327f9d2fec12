// The pace's clock, sleep and display beat on SDL2.
#include <SDL.h>

#include "platform/platform.h"

namespace platform {

double seconds_now() { return double(SDL_GetPerformanceCounter()) / double(SDL_GetPerformanceFrequency()); }

// Whole milliseconds: Windows sleeps no finer, and the pace's wait watches the
// clock for the rest. (The C++ library's sleeps on MinGW wait for a deadline
// that a clock made to run fast under test never reaches.)
void sleep_seconds(double seconds) { SDL_Delay(seconds > 0.0 ? Uint32(seconds * 1000.0) : 0); }

int display_refresh_rate() {
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    const int display = window ? SDL_GetWindowDisplayIndex(window) : 0;
    SDL_DisplayMode mode;
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
    return mode.refresh_rate;
}

bool set_swap_interval(int interval) { return SDL_GL_GetCurrentContext() && SDL_GL_SetSwapInterval(interval) == 0; }

}  // namespace platform
