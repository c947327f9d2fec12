// The pace's clock in a web page. The page cannot sleep (its frames are the
// browser's animation frames, skipped when early) nor choose a swap interval.
#include <emscripten.h>

#include "platform/platform.h"

namespace platform {

double seconds_now() { return emscripten_get_now() / 1000.0; }
void sleep_seconds(double) {}  // waits poll the clock instead
int display_refresh_rate() { return 0; }
bool set_swap_interval(int) { return false; }

}  // namespace platform
