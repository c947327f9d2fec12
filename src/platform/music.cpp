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

// The tune and its output. Written on the show's thread by open_music,
// play_music and stop_music; the audio thread writes the callback's own
// fields and the atomics, which the show's thread reads.
struct TuneState {
    bool muted = false;
    openmpt_module* module = nullptr;   // owned by the audio thread once playing
    SDL_AudioDeviceID device = 0;       // opened, paused until play_music; kept for a restart's tune
    bool noDevice = false;              // none could be opened, and the show has said so once
    double bufferSeconds = 0.0;         // one callback's samples, as the device takes them
    double length = 0.0;                // one pass of the tune, read once where it is opened; 0: unknown
    // Written by play_music before the device runs, read by the audio thread.
    std::atomic<double> playStart{0.0};  // calendar seconds at the tune's start
    // The audio thread's alone.
    double lastCallback = 0.0;          // calendar seconds
    double startLead = 0.0;             // how far ahead the tune ran at the start of the last burst
    bool firstCallback = true;
    // Written by the audio thread, read by the show's.
    std::atomic<int> moves{0};          // times the tune was moved to the clock
    std::atomic<int> late{0};           // callbacks after the first that found the tune behind the clock
    // Where the tune was at the last callback's start, and when: for music_position.
    std::atomic<double> renderedFrom{-1.0}, renderedAt{0.0};
};
TuneState Tune;

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
    const bool burstStart = now - Tune.lastCallback >= 0.5 * double(frames) / TuneSampleRate;
    Tune.lastCallback = now;
    const double length = Tune.length;
    double due = now - Tune.playStart.load();
    if (due < 0.0) return;
    const double ahead = lead(openmpt_module_get_position_seconds(Tune.module), due, length);
    // Behind the clock, the output has played all it was given: a gap.
    if (ahead < 0.0 && !Tune.firstCallback) Tune.late.fetch_add(1);
    Tune.firstCallback = false;
    if (ahead >= -MaxLag && ahead <= MaxLead) {
        if (burstStart) Tune.startLead = ahead;
        return;
    }
    due += std::clamp(Tune.startLead, 0.0, MaxLead);
    if (length > 0.0) due = std::fmod(due, length);  // the tune loops for ever from its start
    // libopenmpt seeks to a row's start, which may lie past the time asked
    // for: it is asked for earlier times until it lands at or before the
    // clock, and the rest of the way is rendered and dropped.
    double landed = openmpt_module_set_position_seconds(Tune.module, due);
    for (double earlier = due - 0.25; landed > due + 0.001 && earlier > -0.25; earlier -= 0.25)
        landed = openmpt_module_set_position_seconds(Tune.module, std::max(0.0, earlier));
    int64_t skip = std::llround((due - std::min(landed, due)) * TuneSampleRate);
    int16_t scratch[2 * 1024];
    while (skip > 0) {
        const size_t chunk = size_t(std::min<int64_t>(skip, 1024));
        if (openmpt_module_read_interleaved_stereo(Tune.module, TuneSampleRate, chunk, scratch) == 0) break;
        skip -= int64_t(chunk);
    }
    Tune.moves.fetch_add(1);
}

void render_audio(void*, Uint8* stream, int bytes) {
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    size_t frames = size_t(bytes) / (2 * sizeof(int16_t));
    size_t done = 0;
    if (Tune.module) {
        const double now = calendar_seconds();
        follow_clock(now, frames);
        Tune.renderedFrom.store(openmpt_module_get_position_seconds(Tune.module));
        Tune.renderedAt.store(now);
        done = openmpt_module_read_interleaved_stereo(Tune.module, TuneSampleRate, frames, out);
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

double calendar_seconds() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void mute_music() { Tune.muted = true; }

void open_music(const char* fileName) {
    if (Tune.muted || Tune.module || Tune.noDevice) return;
    Tune.module = open_tune(fileName);
    Tune.length = Tune.module ? openmpt_module_get_duration_seconds(Tune.module) : 0.0;
    if (!Tune.module || Tune.device != 0) return;  // a restart plays into the output it had

    SDL_AudioSpec want{};
    want.freq = TuneSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = render_audio;
    hush_audio_library();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec got{};
        Tune.device = SDL_OpenAudioDevice(nullptr, 0, &want, &got, 0);
        Tune.bufferSeconds = Tune.device ? double(got.samples) / TuneSampleRate : 0.0;
        // Stops SDL's device-watching thread while the library is still hushed.
        if (Tune.device == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    unhush_audio_library();
    if (Tune.device == 0) {
        std::fprintf(stderr, "No sound: %s\n", SDL_GetError());
        Tune.noDevice = true;
        openmpt_module_destroy(Tune.module);
        Tune.module = nullptr;
    }
}

void play_music() {
    if (Tune.device == 0 || !Tune.module) return;
    const double now = calendar_seconds();
    Tune.playStart.store(now);
    // Until the first callback the tune plays from its start.
    Tune.renderedAt.store(now);
    Tune.renderedFrom.store(0.0);
    Tune.lastCallback = 0.0;
    Tune.startLead = 0.0;
    Tune.firstCallback = true;
    SDL_PauseAudioDevice(Tune.device, 0);
}

int music_moves() { return Tune.moves.load(); }
int music_late_callbacks() { return Tune.late.load(); }

double music_position() {
    const double from = Tune.renderedFrom.load();
    if (from < 0.0) return -1.0;
    return from + std::clamp(calendar_seconds() - Tune.renderedAt.load(), 0.0, Tune.bufferSeconds);
}

void stop_music() {
    if (!Tune.module) return;
    if (Tune.device != 0) {
        SDL_PauseAudioDevice(Tune.device, 1);
        SDL_LockAudioDevice(Tune.device);  // the audio thread is out of render_audio
    }
    openmpt_module_destroy(Tune.module);
    Tune.module = nullptr;
    Tune.renderedFrom.store(-1.0);
    if (Tune.device != 0) SDL_UnlockAudioDevice(Tune.device);
}

}  // namespace platform
