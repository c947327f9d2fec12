// The pace's clock, sleep and display beat on SDL2.
#include <SDL.h>

#include <chrono>
#include <thread>

#include "platform/platform.h"

namespace platform {

double seconds_now() { return double(SDL_GetPerformanceCounter()) / double(SDL_GetPerformanceFrequency()); }

void sleep_seconds(double seconds) {
    if (seconds <= 0.0) return std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

int display_refresh_rate() {
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    const int display = window ? SDL_GetWindowDisplayIndex(window) : 0;
    SDL_DisplayMode mode;
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
    return mode.refresh_rate;
}

bool set_swap_interval(int interval) { return SDL_GL_GetCurrentContext() && SDL_GL_SetSwapInterval(interval) == 0; }

}  // namespace platform
