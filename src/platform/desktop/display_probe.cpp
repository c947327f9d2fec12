// Which SDL video drivers can show the show. What the display libraries say
// while they are tried is held by posix/ and windows/ (with_stderr_held).
#include "platform/desktop/display_probe.h"

#include <SDL.h>

namespace platform {

std::string visible_video_drivers() {
    std::string drivers;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string name = SDL_GetVideoDriver(i);
        if (name == "offscreen" || name == "dummy") continue;
        if (!drivers.empty()) drivers += ',';
        drivers += name;
    }
    return drivers;
}

}  // namespace platform
