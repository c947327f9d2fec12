#include "platform/desktop/display_probe.h"

namespace platform {

// A windowed program: its standard error goes nowhere anyway.
bool with_stderr_held(bool (*attempt)(), std::string* held) {
    held->clear();
    return attempt();
}

}  // namespace platform
