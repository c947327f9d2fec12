// The tune: an extended module rendered by libopenmpt on SDL's audio thread.
#include <SDL.h>
#include <libopenmpt/libopenmpt.h>

#include <cstdio>
#include <vector>
#if defined(__linux__)
#include <dlfcn.h>
#endif

#include "platform/byte_reader.h"
#include "platform/platform.h"

namespace platform {
namespace {

bool Muted = false;
openmpt_module* Module = nullptr;   // owned by the audio thread once playing
SDL_AudioDeviceID Device = 0;       // opened, paused until play_music; kept for a restart's tune
bool NoDevice = false;              // none could be opened, and the show has said so once

void render_audio(void*, Uint8* stream, int bytes) {
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    size_t frames = size_t(bytes) / (2 * sizeof(int16_t));
    size_t done = Module ? openmpt_module_read_interleaved_stereo(Module, TuneSampleRate, frames, out) : 0;
    for (size_t i = done * 2; i < frames * 2; ++i) out[i] = 0;
}

// On a machine without a sound card ALSA writes a screenful of configuration
// errors to stderr while SDL looks for its default device, on every start, for
// a silence that is expected and told in one line of our own. Its library is
// hushed while the device opens (SDL loads the same libasound; no build-time
// dependency on it) and given its own handler back afterwards.
class QuietAlsa {
public:
    QuietAlsa() {
#if defined(__linux__)
        library_ = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
        if (library_) setHandler_ = reinterpret_cast<SetHandler>(dlsym(library_, "snd_lib_error_set_handler"));
        if (setHandler_) setHandler_(&QuietAlsa::ignore);
#endif
    }
    ~QuietAlsa() {
#if defined(__linux__)
        if (setHandler_) setHandler_(nullptr);  // ALSA's default handler again
        if (library_) dlclose(library_);
#endif
    }
    QuietAlsa(const QuietAlsa&) = delete;
    QuietAlsa& operator=(const QuietAlsa&) = delete;

private:
#if defined(__linux__)
    using Handler = void (*)(const char* file, int line, const char* function, int error, const char* format, ...);
    using SetHandler = int (*)(Handler);
    static void ignore(const char*, int, const char*, int, const char*, ...) {}
    void* library_ = nullptr;
    SetHandler setHandler_ = nullptr;
#endif
};

}  // namespace

openmpt_module* open_tune(const char* fileName) {
    std::vector<uint8_t> bytes;
    if (!read_file_bytes(fileName, &bytes) || bytes.empty()) return nullptr;
    openmpt_module* tune = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr, nullptr,
                                                              nullptr, nullptr, nullptr, nullptr);
    if (tune) openmpt_module_set_repeat_count(tune, -1);  // loop for ever
    return tune;
}

void mute_music() { Muted = true; }

void open_music(const char* fileName) {
    if (Muted || Module || NoDevice) return;
    Module = open_tune(fileName);
    if (!Module || Device != 0) return;  // a restart plays into the output it had

    SDL_AudioSpec want{};
    want.freq = TuneSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = render_audio;
    {
        QuietAlsa quiet;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            Device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
            // Stops SDL's device-watching thread while ALSA is still hushed.
            if (Device == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
    if (Device == 0) {
        std::fprintf(stderr, "No sound: %s\n", SDL_GetError());
        NoDevice = true;
        openmpt_module_destroy(Module);
        Module = nullptr;
    }
}

void play_music() {
    if (Device != 0 && Module) SDL_PauseAudioDevice(Device, 0);
}

void stop_music() {
    if (!Module) return;
    if (Device != 0) {
        SDL_PauseAudioDevice(Device, 1);
        SDL_LockAudioDevice(Device);  // the audio thread is out of render_audio
    }
    openmpt_module_destroy(Module);
    Module = nullptr;
    if (Device != 0) SDL_UnlockAudioDevice(Device);
}

}  // namespace platform
