#include "texture_ops.h"

#include <algorithm>
#include <cmath>

Rgba operator+(Rgba p, Rgba q) { return {p.r + q.r, p.g + q.g, p.b + q.b, p.a + q.a}; }
Rgba operator*(Rgba p, float k) { return {p.r * k, p.g * k, p.b * k, p.a * k}; }
Rgba mix(Rgba p, Rgba q, float t) {
    return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t, p.a + (q.a - p.a) * t};
}

float clamp01(float x) { return x < 0 ? 0 : (x > 1 ? 1 : x); }

float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

namespace {

uint32_t hash(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

float gradient_dot(int ix, int iy, float dx, float dy, uint32_t seed) {
    float angle = (hash(ix, iy, seed) & 0xFFFF) * (6.2831853f / 65536.0f);
    return std::cos(angle) * dx + std::sin(angle) * dy;
}

int wrap_index(int i, int n) { return ((i % n) + n) % n; }

float fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

float noise(float x, float y, int period, uint32_t seed) {
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float fx = x - x0, fy = y - y0;
    int xa = wrap_index(x0, period), xb = wrap_index(x0 + 1, period);
    int ya = wrap_index(y0, period), yb = wrap_index(y0 + 1, period);
    float n00 = gradient_dot(xa, ya, fx, fy, seed), n10 = gradient_dot(xb, ya, fx - 1, fy, seed);
    float n01 = gradient_dot(xa, yb, fx, fy - 1, seed), n11 = gradient_dot(xb, yb, fx - 1, fy - 1, seed);
    float u = fade(fx), v = fade(fy);
    float top = n00 + (n10 - n00) * u, bottom = n01 + (n11 - n01) * u;
    return 1.4142f * (top + (bottom - top) * v);
}

float fbm(float u, float v, int period, int octaves, float gain, uint32_t seed) {
    float sum = 0, amplitude = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * noise(u * period, v * period, period, seed + o * 101);
        norm += amplitude;
        amplitude *= gain;
        period *= 2;
    }
    return sum / norm;
}

std::pair<float, float> cells(float u, float v, int n, uint32_t seed) {
    float x = u * n, y = v * n;
    int cx = int(std::floor(x)), cy = int(std::floor(y));
    float best = 9, second = 9;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int gx = cx + dx, gy = cy + dy;
            uint32_t h = hash(wrap_index(gx, n), wrap_index(gy, n), seed);
            float px = gx + (h & 0xFFFF) / 65536.0f, py = gy + (h >> 16) / 65536.0f;
            float d = std::hypot(px - x, py - y);
            if (d < best) { second = best; best = d; }
            else if (d < second) second = d;
        }
    return {best, second};
}

Rgba ramp(const std::vector<std::pair<float, Rgba>>& stops, float t) {
    if (t <= stops.front().first) return stops.front().second;
    for (size_t i = 1; i < stops.size(); ++i)
        if (t <= stops[i].first) {
            float k = (t - stops[i - 1].first) / (stops[i].first - stops[i - 1].first);
            return mix(stops[i - 1].second, stops[i].second, k);
        }
    return stops.back().second;
}

float wrap_delta(float d) { return d - std::round(d); }

void add(Image& dst, const Image& src, float k) {
    for (size_t i = 0; i < dst.pixels.size(); ++i) dst.pixels[i] = dst.pixels[i] + src.pixels[i] * k;
}

void blur(Image& img, int radius) {
    Image tmp = img;
    float norm = 1.0f / (2 * radius + 1);
    for (int pass = 0; pass < 2; ++pass) {
        const Image& src = pass == 0 ? img : tmp;
        Image& dst = pass == 0 ? tmp : img;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                Rgba sum{0, 0, 0, 0};
                for (int k = -radius; k <= radius; ++k)
                    sum = sum + (pass == 0 ? src.at(wrap_index(x + k, img.width), y)
                                           : src.at(x, wrap_index(y + k, img.height)));
                dst.at(x, y) = sum * norm;
            }
    }
}

void splat(Image& img, float x, float y, float r, Rgba c) {
    const int reach = int(std::ceil(3 * r));
    for (int py = int(y) - reach; py <= int(y) + reach; ++py)
        for (int px = int(x) - reach; px <= int(x) + reach; ++px) {
            if (px < 0 || py < 0 || px >= img.width || py >= img.height) continue;
            float dx = px + 0.5f - x, dy = py + 0.5f - y;
            img.at(px, py) = img.at(px, py) + c * std::exp(-(dx * dx + dy * dy) / (r * r));
        }
}

void scale(Image& img, float k) {
    for (Rgba& p : img.pixels) { p.r *= k; p.g *= k; p.b *= k; }
}

std::vector<uint8_t> to_bytes(const Image& img, bool with_alpha) {
    std::vector<uint8_t> out;
    out.reserve(img.pixels.size() * (with_alpha ? 4 : 3));
    auto q = [](float c) { return uint8_t(std::lround(clamp01(c) * 255)); };
    for (const Rgba& p : img.pixels) {
        out.push_back(q(p.r));
        out.push_back(q(p.g));
        out.push_back(q(p.b));
        if (with_alpha) out.push_back(q(p.a));
    }
    return out;
}
