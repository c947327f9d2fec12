#pragma once
// Mesh building in the show's axes (x right, y up, z towards the viewer):
// parametric surfaces over a (u, v) grid, counter-clockwise seen from outside.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Vec = std::array<float, 3>;

struct Mesh {
    std::vector<Vec> points;
    std::vector<std::array<float, 2>> uvs;          // one per point
    std::vector<std::array<uint16_t, 3>> faces;
};

// A surface of (cols + 1) x (rows + 1) points: point(u, v) with u, v in 0..1;
// the texture coordinate of each point is (u * uscale, v * vscale).
Mesh surface(int cols, int rows, const std::function<Vec(float u, float v)>& point, float uscale = 1,
             float vscale = 1);
// Lathe around the y axis: profile(v) gives (radius, height) for v in 0..1
// from bottom to top; u runs once around.
Mesh lathe(int cols, int rows, const std::function<std::array<float, 2>(float v)>& profile, float uscale = 1,
           float vscale = 1);
// Sphere of the given radius centred at c.
Mesh sphere(Vec c, float radius, int cols, int rows);
// Tube of the given radius along a closed curve c(t), t in 0..1.
Mesh tube(const std::function<Vec(float t)>& curve, float radius, int along, int around);

// Appends b's points and faces to a (one object).
void merge(Mesh& a, const Mesh& b);
// Moves every point by d; applies a point transform.
void translate(Mesh& m, Vec d);
void transform(Mesh& m, const std::function<Vec(Vec)>& f);
// Signed volume: positive when the faces wind counter-clockwise seen from outside.
double signed_volume(const Mesh& m);
// Reverses every face when the volume is negative, so that normals point out.
void orient_outwards(Mesh& m);

struct Bounds {
    Vec min{1e30f, 1e30f, 1e30f}, max{-1e30f, -1e30f, -1e30f};
    void include(const Vec& p);
};
