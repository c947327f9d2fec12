// The tune through libopenmpt exactly as the show plays it (the platform's
// open_tune), rendered from second 0 so that every channel's state at the
// range's start is what the show would have reached.
#include "tune_wav.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "pending_file.h"
#include "platform/platform.h"

namespace {

constexpr int64_t ChunkFrames = 4096;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
struct TuneCloser {
    void operator()(openmpt_module* m) const { openmpt_module_destroy(m); }
};

void put_le(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

std::vector<uint8_t> wav_header(uint32_t dataBytes) {
    std::vector<uint8_t> h;
    auto tag = [&](const char* t) { h.insert(h.end(), t, t + 4); };
    tag("RIFF");
    put_le(h, 36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    put_le(h, 16, 4);
    put_le(h, 1, 2);  // PCM
    put_le(h, 2, 2);  // stereo
    put_le(h, platform::TuneSampleRate, 4);
    put_le(h, platform::TuneSampleRate * 4, 4);
    put_le(h, 4, 2);   // bytes per stereo sample
    put_le(h, 16, 2);  // bits per channel
    tag("data");
    put_le(h, dataBytes, 4);
    return h;
}

// The next `frames` stereo samples of the tune (silence without one).
void render(openmpt_module* tune, int64_t frames, int16_t* out) {
    const size_t done =
        tune ? openmpt_module_read_interleaved_stereo(tune, platform::TuneSampleRate, size_t(frames), out) : 0;
    std::fill(out + done * 2, out + frames * 2, int16_t(0));
}

bool fail(std::string* error, const std::string& message) {
    *error = message;
    return false;
}

}  // namespace

int64_t tune_sample_at_frame(int64_t frame, int fps) { return frame * platform::TuneSampleRate / fps; }

bool write_tune_wav(const std::string& tunePath, int64_t first, int64_t count, const std::string& wavPath,
                    bool* silent, std::string* error) {
    std::unique_ptr<openmpt_module, TuneCloser> tune(platform::open_tune(tunePath.c_str()));
    *silent = !tune;
    if (count * 4 > int64_t(UINT32_MAX) - 36) return fail(error, "the range is too long for a WAV file");
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(wavPath.c_str(), "wb"));
    if (!file) return fail(error, std::strerror(errno));
    const std::vector<uint8_t> header = wav_header(uint32_t(count * 4));
    if (std::fwrite(header.data(), 1, header.size(), file.get()) != header.size())
        return fail(error, std::strerror(errno));

    std::vector<int16_t> chunk(ChunkFrames * 2);
    for (int64_t skipped = 0; skipped < first && !StopSignal; skipped += ChunkFrames)
        render(tune.get(), std::min(ChunkFrames, first - skipped), chunk.data());

    std::vector<uint8_t> bytes;
    bytes.reserve(ChunkFrames * 4);
    for (int64_t written = 0; written < count && !StopSignal; written += ChunkFrames) {
        const int64_t frames = std::min(ChunkFrames, count - written);
        render(tune.get(), frames, chunk.data());
        for (int64_t i = 0; i < frames * 2; ++i) put_le(bytes, uint16_t(chunk[i]), 2);
        if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
            return fail(error, std::strerror(errno));
        bytes.clear();
    }
    if (StopSignal) return fail(error, "stopped");
    if (std::fclose(file.release()) != 0) return fail(error, std::strerror(errno));
    return true;
}
