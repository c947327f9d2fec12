// The tune: an extended module rendered by libopenmpt on SDL's audio thread.
#include <SDL.h>
#include <libopenmpt/libopenmpt.h>

#include <vector>

#include "platform/byte_reader.h"
#include "platform/platform.h"

namespace platform {
namespace {

bool Muted = false;
openmpt_module* Module = nullptr;   // owned by the audio thread once playing

void render_audio(void*, Uint8* stream, int bytes) {
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    size_t frames = size_t(bytes) / (2 * sizeof(int16_t));
    size_t done = openmpt_module_read_interleaved_stereo(Module, TuneSampleRate, frames, out);
    for (size_t i = done * 2; i < frames * 2; ++i) out[i] = 0;
}

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

void start_music(const char* fileName) {
    if (Muted || Module) return;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    Module = open_tune(fileName);
    if (!Module) return;

    SDL_AudioSpec want{};
    want.freq = TuneSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = render_audio;
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (device == 0) {
        openmpt_module_destroy(Module);
        Module = nullptr;
        return;
    }
    SDL_PauseAudioDevice(device, 0);
}

}  // namespace platform
