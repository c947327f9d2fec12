#include "platform/system.h"

namespace platform {

// Windows' audio says nothing on its own.
void hush_audio_library() {}
void unhush_audio_library() {}

}  // namespace platform
