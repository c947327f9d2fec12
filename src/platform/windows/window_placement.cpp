#include "platform/window_placement.h"

#include <SDL.h>

namespace platform {

// SDL on Windows puts the client area at the asked position, which would
// leave the frame and title bar above the screen: move by the frame's size.
void place_frame_at_origin(SDL_Window* window) {
    int top = 0, left = 0;
    if (SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr) != 0) return;
    if (top != 0 || left != 0) SDL_SetWindowPosition(window, left, top);
}

}  // namespace platform
