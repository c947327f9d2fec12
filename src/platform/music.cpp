// The tune: an extended module rendered by libopenmpt on SDL's audio thread.
#include <SDL.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/byte_reader.h"
#include "platform/platform.h"
#include "platform/system.h"

namespace platform {
namespace {

bool Muted = false;
openmpt_module* Module = nullptr;   // owned by the audio thread once playing
SDL_AudioDeviceID Device = 0;       // opened, paused until play_music; kept for a restart's tune
bool NoDevice = false;              // none could be opened, and the show has said so once

// The tune follows the show's clock. The schedule counts calendar seconds,
// which run on while the machine is suspended, the process stopped or the
// audio stream dropped; the tune's position does not. Each callback compares
// the two; past a margin that a running show never reaches, the tune is
// moved to where the clock says it is, so the next cut lands on its change.
// A stall leaves the tune behind. It runs ahead only by what an output asks
// for at once: the page's takes a fifth of a second in a burst of callbacks
// while the clock barely moves. Only a clock set back leaves it further ahead.
// The tune moved is put as far ahead as it ran at the start of the last
// burst before, so that it is heard where it was heard before the stall.
constexpr double MaxLag = 0.1;    // seconds
constexpr double MaxLead = 1.0;   // seconds
double LastCallback = 0.0;        // calendar seconds; audio thread only, as is StartLead
double StartLead = 0.0;
// Written by play_music before the device runs, read by the audio thread.
std::atomic<double> PlayStart{0.0};   // calendar seconds at the tune's start
std::atomic<int> Moves{0};            // times the tune was moved to the clock
std::atomic<int> Late{0};             // callbacks after the first that found the tune behind the clock
bool FirstCallback = true;            // audio thread only
// Where the tune was at the last callback's start, and when: for music_position.
std::atomic<double> RenderedFrom{-1.0}, RenderedAt{0.0};
double BufferSeconds = 0.0;           // one callback's samples, as the device takes them
double TuneLength = 0.0;              // one pass of the tune, read once where it is opened; 0: unknown

double calendar_now() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// How far `position` lies ahead of `due` (behind: negative) on a tune that
// loops every `length` seconds (0: unknown), the shorter way round.
double lead(double position, double due, double length) {
    double d = position - due;
    if (length > 0.0) {
        d = std::fmod(d, length);
        if (d > length / 2) d -= length;
        if (d < -length / 2) d += length;
    }
    return d;
}

void follow_clock(double now, size_t frames) {
    const bool burstStart = now - LastCallback >= 0.5 * double(frames) / TuneSampleRate;
    LastCallback = now;
    const double length = TuneLength;
    double due = now - PlayStart.load();
    if (due < 0.0) return;
    const double ahead = lead(openmpt_module_get_position_seconds(Module), due, length);
    // Behind the clock, the output has played all it was given: a gap.
    if (ahead < 0.0 && !FirstCallback) Late.fetch_add(1);
    FirstCallback = false;
    if (ahead >= -MaxLag && ahead <= MaxLead) {
        if (burstStart) StartLead = ahead;
        return;
    }
    due += std::clamp(StartLead, 0.0, MaxLead);
    if (length > 0.0) due = std::fmod(due, length);  // the tune loops for ever from its start
    // libopenmpt seeks to a row's start, which may lie past the time asked
    // for: it is asked for earlier times until it lands at or before the
    // clock, and the rest of the way is rendered and dropped.
    double landed = openmpt_module_set_position_seconds(Module, due);
    for (double earlier = due - 0.25; landed > due + 0.001 && earlier > -0.25; earlier -= 0.25)
        landed = openmpt_module_set_position_seconds(Module, std::max(0.0, earlier));
    int64_t skip = std::llround((due - std::min(landed, due)) * TuneSampleRate);
    int16_t scratch[2 * 1024];
    while (skip > 0) {
        const size_t chunk = size_t(std::min<int64_t>(skip, 1024));
        if (openmpt_module_read_interleaved_stereo(Module, TuneSampleRate, chunk, scratch) == 0) break;
        skip -= int64_t(chunk);
    }
    Moves.fetch_add(1);
}

void render_audio(void*, Uint8* stream, int bytes) {
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    size_t frames = size_t(bytes) / (2 * sizeof(int16_t));
    size_t done = 0;
    if (Module) {
        const double now = calendar_now();
        follow_clock(now, frames);
        RenderedFrom.store(openmpt_module_get_position_seconds(Module));
        RenderedAt.store(now);
        done = openmpt_module_read_interleaved_stereo(Module, TuneSampleRate, frames, out);
    }
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

void open_music(const char* fileName) {
    if (Muted || Module || NoDevice) return;
    Module = open_tune(fileName);
    TuneLength = Module ? openmpt_module_get_duration_seconds(Module) : 0.0;
    if (!Module || Device != 0) return;  // a restart plays into the output it had

    SDL_AudioSpec want{};
    want.freq = TuneSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = render_audio;
    hush_audio_library();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec got{};
        Device = SDL_OpenAudioDevice(nullptr, 0, &want, &got, 0);
        BufferSeconds = Device ? double(got.samples) / TuneSampleRate : 0.0;
        // Stops SDL's device-watching thread while the library is still hushed.
        if (Device == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    unhush_audio_library();
    if (Device == 0) {
        std::fprintf(stderr, "No sound: %s\n", SDL_GetError());
        NoDevice = true;
        openmpt_module_destroy(Module);
        Module = nullptr;
    }
}

void play_music() {
    if (Device == 0 || !Module) return;
    const double now = calendar_now();
    PlayStart.store(now);
    // Until the first callback the tune plays from its start.
    RenderedAt.store(now);
    RenderedFrom.store(0.0);
    LastCallback = 0.0;
    StartLead = 0.0;
    FirstCallback = true;
    SDL_PauseAudioDevice(Device, 0);
}

int music_moves() { return Moves.load(); }
int music_late_callbacks() { return Late.load(); }

double music_position() {
    const double from = RenderedFrom.load();
    if (from < 0.0) return -1.0;
    return from + std::clamp(calendar_now() - RenderedAt.load(), 0.0, BufferSeconds);
}

void stop_music() {
    if (!Module) return;
    if (Device != 0) {
        SDL_PauseAudioDevice(Device, 1);
        SDL_LockAudioDevice(Device);  // the audio thread is out of render_audio
    }
    openmpt_module_destroy(Module);
    Module = nullptr;
    RenderedFrom.store(-1.0);
    if (Device != 0) SDL_UnlockAudioDevice(Device);
}

}  // namespace platform
