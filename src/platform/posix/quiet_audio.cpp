// ALSA hushed: SDL loads the same libasound, so its handler is set here
// through the loader, with no build-time dependency on it.
#include <dlfcn.h>

#include "platform/system.h"

namespace platform {
namespace {

using Handler = void (*)(const char* file, int line, const char* function, int error, const char* format, ...);
using SetHandler = int (*)(Handler);
void ignore(const char*, int, const char*, int, const char*, ...) {}
void* Library = nullptr;
SetHandler SetAlsaHandler = nullptr;

}  // namespace

void hush_audio_library() {
    Library = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
    SetAlsaHandler = Library ? reinterpret_cast<SetHandler>(dlsym(Library, "snd_lib_error_set_handler")) : nullptr;
    if (SetAlsaHandler) SetAlsaHandler(&ignore);
}

void unhush_audio_library() {
    if (SetAlsaHandler) SetAlsaHandler(nullptr);  // ALSA's default handler again
    if (Library) dlclose(Library);
    Library = nullptr;
    SetAlsaHandler = nullptr;
}

}  // namespace platform
