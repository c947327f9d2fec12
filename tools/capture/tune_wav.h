#pragma once
// The show's tune as a WAV file: what the show plays over a range of frames.
#include <cstdint>
#include <string>

// The sample (of the tune's 44,100 a second) playing when frame k starts:
// frame k is at second k / fps, the tune starts at second 0.
int64_t tune_sample_at_frame(int64_t frame, int fps);

// Writes samples [first, first + count) of the tune, looping as in the show,
// as 16-bit stereo PCM WAV at 44,100 Hz. A tune that is missing or unreadable
// is silence, as in the show, and sets *silent. False with *error set to the
// reason when the file cannot be written or a stop signal arrives.
bool write_tune_wav(const std::string& tunePath, int64_t first, int64_t count, const std::string& wavPath,
                    bool* silent, std::string* error);
