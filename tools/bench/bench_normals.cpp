// The vertex normal pass on a generated mesh of 50,000 vertices and 100,000
// faces: the one-pass sum of compute_vertex_normals against the per-vertex
// search over every face, timed in the same run; their bits must agree.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "models/model.h"
#include "tool_usage.h"

namespace {

constexpr int Columns = 250, Rows = 200;  // 50,000 vertices
constexpr int FaceTotal = 100000;

// A rippled grid of triangles, topped up with pseudo-random faces (some
// naming a vertex twice, some far apart) to reach the face count.
Model generate_mesh() {
    Model model;
    model.objects.push_back(ModelObject{});
    model.objectCount = 1;
    ModelObject& o = model.objects[0];
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Columns; ++c) {
            o.vertices.push_back({float(c) * 0.1f, std::sin(float(c) * 0.37f) * std::cos(float(r) * 0.21f), float(r) * 0.1f});
        }
    }
    for (int r = 0; r + 1 < Rows; ++r) {
        for (int c = 0; c + 1 < Columns; ++c) {
            int32_t v = r * Columns + c;
            o.faces.push_back({v, v + Columns, v + 1});
            o.faces.push_back({v + 1, v + Columns, v + Columns + 1});
        }
    }
    uint32_t seed = 12345;
    auto next = [&seed] { return int32_t((seed = seed * 1664525u + 1013904223u) >> 8) % (Columns * Rows); };
    while (o.faces.size() < size_t(FaceTotal)) {
        int32_t a = next(), b = next();
        o.faces.push_back({a, b, o.faces.size() % 7 == 0 ? a : next()});
    }
    o.vertexCount = int32_t(o.vertices.size());
    o.faceCount = int32_t(o.faces.size());
    return model;
}

// The normal pass as first described: every face tested for every vertex.
void reference_normals(ModelObject& o) {
    std::vector<Vec3> faceNormals(o.faces.size());
    for (size_t f = 0; f < o.faces.size(); ++f) {
        const Vec3 &p0 = o.vertices[size_t(o.faces[f].a)], &p1 = o.vertices[size_t(o.faces[f].b)],
                   &p2 = o.vertices[size_t(o.faces[f].c)];
        Vec3 a{p0.x - p2.x, p0.y - p2.y, p0.z - p2.z}, b{p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
        faceNormals[f] = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    }
    o.normals.assign(size_t(o.vertexCount), Vec3{0, 0, 0});
    for (int32_t v = 0; v < o.vertexCount; ++v) {
        Vec3 s{0.0f, 0.0f, 0.0f};
        int32_t k = 0;
        for (size_t f = 0; f < o.faces.size(); ++f) {
            const ModelFace& face = o.faces[f];
            if (face.a == v || face.b == v || face.c == v) {
                s = {s.x + faceNormals[f].x, s.y + faceNormals[f].y, s.z + faceNormals[f].z};
                ++k;
            }
        }
        Vec3 up{0.0f, 1.0f, 0.0f};
        if (k == 0) {
            o.normals[size_t(v)] = up;
            continue;
        }
        Vec3 n{s.x / float(-k), s.y / float(-k), s.z / float(-k)};
        float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        o.normals[size_t(v)] = length > 0.0f && std::isfinite(length) ? Vec3{n.x / length, n.y / length, n.z / length} : up;
    }
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (print_usage_if_asked(argc, argv,
                             "usage: bench_normals\n"
                             "Times the vertex-normal pass against the every-face-for-every-vertex reference on a\n"
                             "generated mesh of 50,000 vertices and prints whether their bits agree. No options.\n"
                             "\n"
                             "  --help    print this and exit\n"))
        return 0;
    if (argc > 1)
        return refuse_command_line("bench_normals",
                                   std::string(argv[1][0] == '-' ? "takes no option " : "takes no argument ") + argv[1]);
    Model onePass = generate_mesh();
    Model reference = onePass;
    std::printf("mesh: %d vertices, %d faces\n", onePass.objects[0].vertexCount, onePass.objects[0].faceCount);

    const int runs = 20;
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        compute_vertex_normals(onePass);
        double t = seconds_since(start);
        if (t < best) best = t;
    }
    auto start = std::chrono::steady_clock::now();
    reference_normals(reference.objects[0]);
    double slow = seconds_since(start);

    const std::vector<Vec3>& a = onePass.objects[0].normals;
    const std::vector<Vec3>& b = reference.objects[0].normals;
    size_t differing = 0;
    for (size_t v = 0; v < a.size(); ++v) differing += std::memcmp(&a[v], &b[v], sizeof(Vec3)) != 0;
    std::printf("one pass (best of %d): %.6f s\n", runs, best);
    std::printf("every face for every vertex: %.3f s\n", slow);
    std::printf("ratio: %.0f times faster\n", slow / best);
    std::printf("identical bits: %s (%zu of %zu vertices differ)\n", differing == 0 ? "yes" : "NO", differing, a.size());
    return differing == 0 ? 0 : 1;
}
