#pragma once
// Procedural texture operations: a picture is a grid of linear RGBA floats,
// top row first, built from shading functions over (u, v) in [0, 1) and a few
// combinators. Everything periodic takes its period in lattice cells so that
// tiling textures wrap without a seam.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};
Rgba operator+(Rgba p, Rgba q);
Rgba operator*(Rgba p, float k);
Rgba mix(Rgba p, Rgba q, float t);

struct Image {
    int width = 0, height = 0;
    std::vector<Rgba> pixels;  // row-major, top row first
    Image(int w, int h) : width(w), height(h), pixels(size_t(w) * h) {}
    Rgba& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    const Rgba& at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// Calls f(u, v) at every pixel centre (u right, v down, both 0..1).
template <class F>
Image shade(int w, int h, F f) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.at(x, y) = f((x + 0.5f) / w, (y + 0.5f) / h);
    return img;
}

float clamp01(float x);
float smoothstep(float e0, float e1, float x);
// Gradient noise in about -1..1, periodic with `period` lattice cells in x and y.
float noise(float x, float y, int period, uint32_t seed);
// Sum of `octaves` noise layers, each twice the frequency and `gain` times the
// amplitude of the one before; (u, v) in 0..1 wraps for any base period.
float fbm(float u, float v, int period, int octaves, float gain, uint32_t seed);
// Cellular pattern on an n x n periodic lattice with one jittered point per
// cell: the nearest and second-nearest distances in cell units.
std::pair<float, float> cells(float u, float v, int n, uint32_t seed);
// Colour ramp through (position, colour) stops sorted by position.
Rgba ramp(const std::vector<std::pair<float, Rgba>>& stops, float t);
// Wrapped difference in 0..1 texture space: the shortest signed offset.
float wrap_delta(float d);

// Adds src onto dst weighted by k.
void add(Image& dst, const Image& src, float k = 1);
// Box blur of the given radius in pixels, wrapping at the edges.
void blur(Image& img, int radius);
// Adds a Gaussian dot exp(-d^2 / r^2) of colour c centred at (x, y) in pixels.
void splat(Image& img, float x, float y, float r, Rgba c);
// Multiplies every colour channel (not alpha) by k.
void scale(Image& img, float k);

// 8-bit samples, top row first: R, G, B or R, G, B, A.
std::vector<uint8_t> to_bytes(const Image& img, bool with_alpha);

// Deterministic pseudo-random numbers (32-bit LCG, fixed seed per use).
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed) {}
    uint32_t next() { state_ = state_ * 1664525u + 1013904223u; return state_; }
    float unit() { return (next() >> 8) * (1.0f / 16777216.0f); }      // 0..1
    float signed_unit() { return unit() * 2 - 1; }                      // -1..1
private:
    uint32_t state_;
};
