#include "mesh.h"

#include <cassert>
#include <cmath>

namespace {

const float Tau = 6.2831853f;

Vec sub(Vec a, Vec b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec cross(Vec a, Vec b) { return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}; }
float dot(Vec a, Vec b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec unit(Vec a) {
    float l = std::sqrt(dot(a, a));
    return {a[0] / l, a[1] / l, a[2] / l};
}

// Two corners at the same place (a pole, a closed end): no area, no face.
bool degenerate(const Mesh& m, const std::array<uint16_t, 3>& f) {
    return m.points[f[0]] == m.points[f[1]] || m.points[f[1]] == m.points[f[2]] || m.points[f[0]] == m.points[f[2]];
}

}  // namespace

Mesh surface(int cols, int rows, const std::function<Vec(float, float)>& point, float uscale, float vscale) {
    Mesh m;
    assert((cols + 1) * (rows + 1) <= 65535);
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= cols; ++c) {
            float u = float(c) / cols, v = float(r) / rows;
            m.points.push_back(point(u, v));
            m.uvs.push_back({u * uscale, v * vscale});
        }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            uint16_t a = uint16_t(r * (cols + 1) + c), b = uint16_t(a + 1);
            uint16_t d = uint16_t(a + cols + 1), e = uint16_t(d + 1);
            for (std::array<uint16_t, 3> f : {std::array<uint16_t, 3>{a, b, e}, std::array<uint16_t, 3>{a, e, d}})
                if (!degenerate(m, f)) m.faces.push_back(f);
        }
    return m;
}

Mesh lathe(int cols, int rows, const std::function<std::array<float, 2>(float)>& profile, float uscale,
           float vscale) {
    // u turns clockwise seen from above so that the faces face outwards.
    return surface(cols, rows, [&](float u, float v) {
        auto [r, y] = profile(v);
        return Vec{r * std::cos(-Tau * u), y, r * std::sin(-Tau * u)};
    }, uscale, vscale);
}

Mesh sphere(Vec c, float radius, int cols, int rows) {
    Mesh m = lathe(cols, rows, [&](float v) {
        float a = 3.14159265f * (v - 0.5f);
        return std::array<float, 2>{radius * std::cos(a), radius * std::sin(a)};
    });
    translate(m, c);
    return m;
}

Mesh tube(const std::function<Vec(float)>& curve, float radius, int along, int around) {
    return surface(along, around, [&](float u, float v) {
        const float h = 1e-3f;
        Vec p = curve(u);
        Vec t = unit(sub(curve(u + h), curve(u - h)));
        Vec up = std::fabs(t[2]) < 0.9f ? Vec{0, 0, 1} : Vec{1, 0, 0};
        Vec n = unit(cross(t, up)), b = cross(t, n);
        float a = Tau * v, cs = std::cos(a) * radius, sn = std::sin(a) * radius;
        return Vec{p[0] + n[0] * cs + b[0] * sn, p[1] + n[1] * cs + b[1] * sn, p[2] + n[2] * cs + b[2] * sn};
    }, 8, 1);
}

void merge(Mesh& a, const Mesh& b) {
    const size_t base = a.points.size();
    assert(base + b.points.size() <= 65535);
    a.points.insert(a.points.end(), b.points.begin(), b.points.end());
    a.uvs.insert(a.uvs.end(), b.uvs.begin(), b.uvs.end());
    for (const auto& f : b.faces)
        a.faces.push_back({uint16_t(f[0] + base), uint16_t(f[1] + base), uint16_t(f[2] + base)});
}

void translate(Mesh& m, Vec d) {
    for (Vec& p : m.points)
        for (int i = 0; i < 3; ++i) p[i] += d[i];
}

void transform(Mesh& m, const std::function<Vec(Vec)>& f) {
    for (Vec& p : m.points) p = f(p);
}

double signed_volume(const Mesh& m) {
    double v = 0;
    for (const auto& f : m.faces) v += dot(m.points[f[0]], cross(m.points[f[1]], m.points[f[2]])) / 6.0;
    return v;
}

void orient_outwards(Mesh& m) {
    if (signed_volume(m) >= 0) return;
    for (auto& f : m.faces) std::swap(f[1], f[2]);
}

void Bounds::include(const Vec& p) {
    for (int i = 0; i < 3; ++i) {
        min[i] = std::fmin(min[i], p[i]);
        max[i] = std::fmax(max[i], p[i]);
    }
}
