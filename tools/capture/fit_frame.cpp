#include "fit_frame.h"

#include <algorithm>

#include "platform/letterbox.h"

namespace {

struct Tap {
    int from;  // the source pixel
    float weight;
};

// For each of `to` output pixels over `from` source pixels: the source pixels
// it covers and how much of each, summing to 1.
std::vector<std::vector<Tap>> box_taps(int from, int to) {
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(to));
    const double span = double(from) / to;
    for (int i = 0; i < to; ++i) {
        const double start = i * span, end = start + span;
        for (int s = int(start); s < from && s < end; ++s) {
            const double covered = std::min(end, s + 1.0) - std::max(start, double(s));
            if (covered > 1e-9) taps[size_t(i)].push_back({s, float(covered / span)});
        }
    }
    return taps;
}

}  // namespace

void fit_frame(const uint8_t* frame, int frameWidth, int frameHeight, int width, int height,
               std::vector<uint8_t>* out) {
    out->assign(size_t(width) * height * 4, 0);
    for (size_t at = 3; at < out->size(); at += 4) (*out)[at] = 255;
    const platform::PictureRect to = platform::letterbox(width, height, frameWidth, frameHeight);
    if (to.width == 0) return;
    const auto columns = box_taps(frameWidth, to.width), rows = box_taps(frameHeight, to.height);
    // Across first, each source row to the picture's width; then down.
    std::vector<float> across(size_t(to.width) * frameHeight * 4);
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < to.width; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (const Tap& tap : columns[size_t(x)]) {
                const uint8_t* pixel = frame + (size_t(y) * frameWidth + tap.from) * 4;
                for (int c = 0; c < 4; ++c) sum[c] += tap.weight * pixel[c];
            }
            std::copy(sum, sum + 4, &across[(size_t(y) * to.width + x) * 4]);
        }
    for (int y = 0; y < to.height; ++y)
        for (int x = 0; x < to.width; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (const Tap& tap : rows[size_t(y)]) {
                const float* pixel = &across[(size_t(tap.from) * to.width + x) * 4];
                for (int c = 0; c < 4; ++c) sum[c] += tap.weight * pixel[c];
            }
            uint8_t* target = &(*out)[(size_t(to.y + y) * width + to.x + x) * 4];
            for (int c = 0; c < 4; ++c) target[c] = uint8_t(std::min(255.0f, sum[c] + 0.5f));
        }
}
