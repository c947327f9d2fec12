#pragma once
// Where the show's window goes on this system: its outer corner, frame and
// title bar included, at the display's origin, so the title bar stays on the screen.
struct SDL_Window;

namespace platform {

void place_frame_at_origin(SDL_Window* window);

}  // namespace platform
