// Meshes in the show's axes (y up). "yeah" and "aru" stand side by side on the
// ground plane of the reflecting-spheres scene (which lies 1 unit above their
// origin, about 25 below the eye and 20 to 60 away), so their feet are at
// y = 0 and they rise about 27 units; the scene turns them about y through
// the origin. "magic" tumbles 80 away (radius about 21), "orey" 5 to 8 away
// (radius 1.5), "shob" 10 away (radius 2.5) spinning about the file's y axis.
#include "models.h"

#include <cmath>

namespace {

const float Pi = 3.14159265f, Tau = 6.2831853f;

TdsObject mesh_object(const char* name, const char* material, Mesh mesh) {
    TdsObject o;
    o.name = name;
    o.material = material;
    o.mesh = std::move(mesh);
    return o;
}

TdsObject light(const char* name, Vec at) {
    TdsObject o;
    o.name = name;
    o.kind = TdsKind::Light;
    o.position = at;
    return o;
}

TdsObject camera(const char* name, Vec at, Vec target) {
    TdsObject o;
    o.name = name;
    o.kind = TdsKind::Camera;
    o.position = at;
    o.target = target;
    return o;
}

// A stepped plinth from y = 0 to y = 2, closed top and bottom.
Mesh plinth(float radius) {
    Mesh m = lathe(48, 8, [radius](float v) {
        const float r[] = {0, radius, radius, radius * 0.9f, radius * 0.9f, radius * 0.7f, radius * 0.7f, 0, 0};
        const float y[] = {0, 0, 1.0f, 1.0f, 1.6f, 1.6f, 2.0f, 2.0f, 2.0f};
        int i = int(std::lround(v * 8));
        return std::array<float, 2>{r[i], y[i]};
    });
    orient_outwards(m);
    return m;
}

// "yeah": a chrome sculpture; a twisted six-pointed column carrying a ball
// inside a tilted ring, on a dark plinth. Sphere-mapped by its scene.
TdsScene build_yeah() {
    TdsScene s;
    s.materials = {{"BASALT", {70, 72, 92}, ""}, {"CHROME", {200, 210, 230}, "chrome.bmp"}};
    const float x = -11;
    Mesh base = plinth(4.5f);
    Mesh column = surface(72, 80, [](float u, float v) {
        float a = Tau * u, twist = Pi * v;
        float r = (1.7f + 0.55f * std::cos(6 * (a + twist))) * (1.15f - 0.35f * v);
        float y = 2 + 18 * v;
        return Vec{r * std::cos(-a), y, r * std::sin(-a)};
    }, 2, 4);
    orient_outwards(column);
    Mesh crown = sphere({0, 23.5f, 0}, 3.4f, 40, 28);
    Mesh ring = tube([](float t) {
        float a = Tau * t;
        return Vec{5.2f * std::cos(a), 23.5f + 1.8f * std::sin(a), 5.2f * std::sin(a) * 0.94f};
    }, 0.55f, 96, 12);
    orient_outwards(ring);
    merge(crown, ring);
    for (Mesh* m : {&base, &column, &crown}) translate(*m, {x, 0, 0});
    s.objects = {light("Omni01", {0, 60, 40}), mesh_object("Plinth", "BASALT", base),
                 mesh_object("Column", "CHROME", column), mesh_object("Crown", "CHROME", crown)};
    return s;
}

// "aru": a carved totem tower with its own texture coordinates (the pattern
// wraps twice around and runs up three times), on a brass ring.
TdsScene build_aru() {
    TdsScene s;
    s.materials = {{"BRASS", {190, 150, 60}, ""}, {"TOTEM", {180, 140, 100}, "totem.bmp"}};
    const float x = 11;
    Mesh ring = tube([](float t) {
        return Vec{4.2f * std::cos(Tau * t), 0.6f, 4.2f * std::sin(Tau * t)};
    }, 0.6f, 64, 12);
    orient_outwards(ring);
    Mesh tower = lathe(64, 120, [](float v) {
        float y = 27 * v;
        float r = 3.2f - 1.2f * v + 0.7f * std::sin(v * 5 * Tau) * std::sin(Pi * v) +
                  1.2f * std::exp(-std::pow((v - 0.78f) / 0.06f, 2.0f));
        if (v > 0.97f) r *= (1 - v) / 0.03f;  // pointed top
        return std::array<float, 2>{std::fmax(r, 0.0f), y};
    }, 2, 3);
    orient_outwards(tower);
    translate(ring, {x, 0, 0});
    translate(tower, {x, 0, 0});
    s.objects = {camera("Camera01", {0, 15, 60}, {0, 12, 0}), mesh_object("Ring", "BRASS", ring),
                 mesh_object("Totem", "TOTEM", tower)};
    return s;
}

// "magic": a (2, 3) torus knot of outer radius about 21 around a red core.
TdsScene build_magic() {
    TdsScene s;
    s.materials = {{"CORE", {200, 40, 30}, ""}, {"GOLD", {230, 180, 60}, "gold.bmp"}};
    Mesh core = sphere({0, 0, 0}, 4.5f, 32, 24);
    Mesh knot = tube([](float t) {
        float a = Tau * t, r = 6.0f * (2 + std::cos(3 * a));
        return Vec{r * std::cos(2 * a), 6.0f * std::sin(3 * a), r * std::sin(2 * a)};
    }, 3.0f, 400, 16);
    orient_outwards(knot);
    s.objects = {light("Omni01", {40, 40, 80}), mesh_object("Core", "CORE", core), mesh_object("Knot", "GOLD", knot)};
    return s;
}

// Superformula radius for angle a.
float superformula(float a, float m, float n1, float n2, float n3) {
    float c = std::pow(std::fabs(std::cos(m * a / 4)), n2), d = std::pow(std::fabs(std::sin(m * a / 4)), n3);
    return std::pow(c + d, -1 / n1);
}

// "orey": a pearl supershape of radius 1.5, star-lobed around and ribbed along.
TdsScene build_orey() {
    TdsScene s;
    s.materials = {{"PEARL", {230, 220, 240}, "pearl.bmp"}};
    Mesh shell = surface(96, 64, [](float u, float v) {
        float theta = Tau * u - Pi, phi = Pi * v - Pi / 2;
        float r1 = superformula(theta, 6, 0.7f, 1.2f, 1.2f), r2 = superformula(phi, 4, 1.0f, 1.5f, 1.5f);
        float across = r2 * std::cos(phi);
        return Vec{r1 * std::cos(theta) * across, r2 * std::sin(phi), r1 * std::sin(theta) * across};
    });
    Bounds b;
    for (const Vec& p : shell.points) b.include(p);
    float extent = 0;
    for (int i = 0; i < 3; ++i) extent = std::fmax(extent, std::fmax(-b.min[i], b.max[i]));
    transform(shell, [extent](Vec p) { return Vec{p[0] * 1.5f / extent, p[1] * 1.5f / extent, p[2] * 1.5f / extent}; });
    orient_outwards(shell);
    s.objects = {camera("Camera01", {0, 0, 8}, {0, 0, 0}), mesh_object("Shell", "PEARL", shell)};
    return s;
}

// "shob": a spinning top of radius 2.5 with a dark stem and a glass body with
// two rings. Built around y, then turned so its axis is the file's y axis
// (show -z), which its scene stands upright and spins about.
TdsScene build_shob() {
    TdsScene s;
    s.materials = {{"STEM", {40, 40, 60}, ""}, {"GLASS", {180, 200, 255}, "glass.bmp"}};
    Mesh stem = lathe(32, 6, [](float v) {
        const float r[] = {0, 0.35f, 0.35f, 0.5f, 0.5f, 0.3f, 0};
        const float y[] = {1.6f, 1.6f, 2.6f, 2.6f, 2.9f, 3.0f, 3.0f};
        int i = int(std::lround(v * 6));
        return std::array<float, 2>{r[i], y[i]};
    });
    orient_outwards(stem);
    Mesh body = lathe(72, 64, [](float v) {
        float y = -2.5f + 4.3f * v;   // tip at -2.5, shoulder at 1.8
        float r = v < 0.55f ? 2.5f * std::sin(v / 0.55f * Pi / 2) : 2.5f * std::cos((v - 0.55f) / 0.45f * Pi / 2);
        r += 0.08f * std::sin(v * 40);
        return std::array<float, 2>{std::fmax(r * (v < 0.02f ? v / 0.02f : 1), 0.0f), y};
    });
    orient_outwards(body);
    for (float y : {0.0f, -0.9f}) {
        float r = y == 0.0f ? 2.55f : 2.1f;
        Mesh ring = tube([r, y](float t) { return Vec{r * std::cos(Tau * t), y, r * std::sin(Tau * t)}; },
                         0.15f, 72, 8);
        orient_outwards(ring);
        merge(body, ring);
    }
    auto upright = [](Vec p) { return Vec{p[0], p[2], -p[1]}; };  // y axis to -z
    transform(stem, upright);
    transform(body, upright);
    s.objects = {light("Omni01", {10, 10, 10}), mesh_object("Stem", "STEM", stem), mesh_object("Body", "GLASS", body)};
    return s;
}

}  // namespace

const std::vector<ModelRecipe>& model_recipes() {
    static const std::vector<ModelRecipe> recipes = {
        {SlotYeah, build_yeah}, {SlotAru, build_aru}, {SlotMagic, build_magic},
        {SlotOrey, build_orey}, {SlotShob, build_shob},
    };
    return recipes;
}

Bounds scene_bounds(const TdsScene& scene) {
    Bounds b;
    for (const TdsObject& o : scene.objects)
        for (const Vec& p : o.mesh.points) b.include(p);
    return b;
}

size_t scene_triangles(const TdsScene& scene) {
    size_t n = 0;
    for (const TdsObject& o : scene.objects) n += o.mesh.faces.size();
    return n;
}
