// The bitmaps the meshes name: reflective maps for the sphere-mapped meshes
// and a carved pattern for the one drawn with its own coordinates, written
// in a mix of the encodings the show reads.
#include <cmath>

#include "textures.h"

namespace {

Rgba rgb_of(float r, float g, float b) { return {r, g, b, 1}; }

Rgb8 to8(Rgba c) {
    auto q = [](float x) { return uint8_t(std::lround(clamp01(x) * 255)); };
    return {q(c.r), q(c.g), q(c.b)};
}

// A palette of `count` colours along a ramp, and each pixel's index from a
// scalar field in 0..1, with an ordered dither when the palette is short.
MeshBitmap ramp_bitmap(int n, int count, const std::vector<std::pair<float, Rgba>>& stops,
                       float (*field)(float u, float v)) {
    static const int Bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    MeshBitmap bmp;
    bmp.width = bmp.height = n;
    for (int i = 0; i < count; ++i) bmp.palette.push_back(to8(ramp(stops, i / float(count - 1))));
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float t = clamp01(field((x + 0.5f) / n, (y + 0.5f) / n)) * (count - 1);
            float dither = count < 64 ? (Bayer[y % 4][x % 4] + 0.5f) / 16 : 0.5f;
            bmp.indices.push_back(uint8_t(std::fmin(count - 1, std::floor(t + dither))));
        }
    return bmp;
}

// Chrome: sky above a sharp bright horizon, dark ground below (24 bits).
MeshBitmap draw_chrome() {
    Image img = shade(256, 256, [](float u, float v) {
        float y = 0.5f - v;
        Rgba sky = mix(rgb_of(0.85f, 0.92f, 1.0f), rgb_of(0.1f, 0.25f, 0.7f), clamp01(y * 2.2f));
        Rgba ground = mix(rgb_of(0.45f, 0.32f, 0.2f), rgb_of(0.05f, 0.03f, 0.02f), clamp01(-y * 2.5f));
        Rgba c = y > 0 ? sky : ground;
        c = c + rgb_of(1, 1, 1) * std::exp(-y * y / 0.0004f);
        c = c + rgb_of(1, 0.95f, 0.8f) * std::exp(-(std::pow(u - 0.3f, 2.0f) + std::pow(v - 0.25f, 2.0f)) / 0.003f);
        return c;
    });
    MeshBitmap bmp;
    bmp.width = bmp.height = 256;
    bmp.rgb = to_bytes(img, false);
    return bmp;
}

float gold_field(float u, float v) {
    float r = std::hypot(u - 0.5f, v - 0.5f);
    float spot = std::exp(-(std::pow(u - 0.35f, 2.0f) + std::pow(v - 0.3f, 2.0f)) / 0.01f);
    return 0.75f - 0.9f * r + 0.25f * std::sin(9 * v) * 0.3f + spot;
}

// Gold: 16 colours, dark bronze to pale highlight (4 bits).
MeshBitmap draw_gold() {
    return ramp_bitmap(256, 16,
                       {{0.0f, rgb_of(0.12f, 0.05f, 0.0f)}, {0.5f, rgb_of(0.8f, 0.5f, 0.1f)},
                        {0.8f, rgb_of(1.0f, 0.85f, 0.4f)}, {1.0f, rgb_of(1, 1, 0.9f)}},
                       gold_field);
}

float pearl_field(float u, float v) {
    float r = std::hypot(u - 0.5f, v - 0.5f);
    return clamp01(0.5f + 0.5f * std::sin(14 * r + 3 * u) * (1 - r));
}

// Pearl: iridescent rings, 256 colours (12-byte core header).
MeshBitmap draw_pearl() {
    return ramp_bitmap(256, 256,
                       {{0.0f, rgb_of(0.3f, 0.25f, 0.45f)}, {0.3f, rgb_of(0.6f, 0.8f, 0.9f)},
                        {0.6f, rgb_of(0.95f, 0.8f, 0.9f)}, {1.0f, rgb_of(1, 1, 0.95f)}},
                       pearl_field);
}

float glass_field(float u, float v) {
    float band = std::floor((1 - v) * 12) / 11;
    float streak = u > 0.6f && u < 0.7f ? 0.1f : 0.0f;
    // A sparkling strip along the horizon breaks the runs (absolute mode).
    float sparkle = v > 0.46f && v < 0.54f ? 0.25f * (0.5f + 0.5f * fbm(u, v, 64, 1, 0.5f, 97)) : 0.0f;
    return clamp01(band * 0.9f + streak + sparkle);
}

// Glass: a posterised sunset in flat bands, 64 colours (RLE8: long runs).
MeshBitmap draw_glass() {
    return ramp_bitmap(256, 64,
                       {{0.0f, rgb_of(0.05f, 0.0f, 0.15f)}, {0.4f, rgb_of(0.4f, 0.1f, 0.5f)},
                        {0.7f, rgb_of(1.0f, 0.4f, 0.3f)}, {1.0f, rgb_of(1.0f, 0.95f, 0.6f)}},
                       glass_field);
}

// Totem bands: zigzags, dots and stripes in four colour families of 64
// shades each (8 bits through the colour table).
MeshBitmap draw_totem() {
    const Rgba families[4] = {rgb_of(0.55f, 0.3f, 0.15f), rgb_of(0.1f, 0.5f, 0.55f), rgb_of(0.8f, 0.7f, 0.4f),
                              rgb_of(0.6f, 0.15f, 0.2f)};
    MeshBitmap bmp;
    bmp.width = bmp.height = 256;
    for (int f = 0; f < 4; ++f)
        for (int s = 0; s < 64; ++s) bmp.palette.push_back(to8(families[f] * (0.25f + 1.1f * s / 63)));
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            float u = (x + 0.5f) / 256, v = (y + 0.5f) / 256;
            int band = int(v * 8);
            float local = v * 8 - band;
            float zig = std::fabs(std::fmod(u * 16, 2.0f) - 1);
            int family = band % 4;
            float shade = 0.5f + 0.3f * fbm(u, v, 8, 3, 0.5f, 89);
            if (band % 2 == 0 && std::fabs(local - 0.5f) < 0.25f * zig + 0.05f) family = (family + 2) % 4;
            if (band % 2 == 1 && std::hypot(std::fmod(u * 12, 1.0f) - 0.5f, local - 0.5f) < 0.25f) shade += 0.4f;
            if (local < 0.06f || local > 0.94f) shade *= 0.3f;
            bmp.indices.push_back(uint8_t(family * 64 + std::lround(clamp01(shade) * 63)));
        }
    return bmp;
}

}  // namespace

const std::vector<BitmapRecipe>& bitmap_recipes() {
    static const std::vector<BitmapRecipe> recipes = {
        {"chrome.bmp", BmpEncoding::Indexed8, true, draw_chrome},
        {"totem.bmp", BmpEncoding::Indexed8, false, draw_totem},
        {"gold.bmp", BmpEncoding::Indexed4, false, draw_gold},
        {"pearl.bmp", BmpEncoding::Core8, false, draw_pearl},
        {"glass.bmp", BmpEncoding::Rle8, false, draw_glass},
    };
    return recipes;
}

std::vector<uint8_t> bitmap_rgb(const MeshBitmap& bmp) {
    if (bmp.palette.empty()) return bmp.rgb;
    std::vector<uint8_t> out;
    for (uint8_t i : bmp.indices) out.insert(out.end(), bmp.palette[i].begin(), bmp.palette[i].end());
    return out;
}
