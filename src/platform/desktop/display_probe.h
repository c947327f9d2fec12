#pragma once
// Finding out whether there is a display to show on at all: SDL 2.26 falls
// back on a driver that shows nothing (offscreen) when no X11 or Wayland
// display opens, and the show would run unseen, refusing "800x600".
#include <string>

namespace platform {

// SDL's video drivers less those that show nothing, comma-separated, for
// SDL_HINT_VIDEODRIVER.
std::string visible_video_drivers();

// Runs `attempt` with standard error held in a scratch file: passed on when
// it succeeds, else returned in *held as one line (libwayland, for one, says
// why it failed there, on a line of its own).
bool with_stderr_held(bool (*attempt)(), std::string* held);

}  // namespace platform
