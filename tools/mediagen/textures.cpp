// The eighteen Targa pictures. Everything the show adds with (SRC_ALPHA, ONE)
// is bright on black; textures whose coordinates drift tile without a seam.
#include "textures.h"

#include <cmath>

#include "lettering.h"

namespace {

const float Tau = 6.2831853f;

Rgba rgb(float r, float g, float b, float a = 1) { return {r, g, b, a}; }

// Logo: "ZU" in the show's font, gold over a blue halo, inside a thin ring.
Image draw_zu(int n) {
    Image letters(n, n);
    for (Rgba& p : letters.pixels) p = rgb(0, 0, 0);
    const float dot = n / 14.0f;
    draw_text(letters, "ZU", (n - text_width("ZU", dot)) / 2, (n - 7 * dot) / 2, dot, rgb(1, 1, 1));
    Image halo = letters;
    blur(halo, n / 40);
    blur(halo, n / 40);
    Image img = shade(n, n, [](float u, float v) {
        float r = std::hypot(u - 0.5f, v - 0.5f);
        float ring = std::exp(-std::pow((r - 0.46f) / 0.008f, 2.0f));
        return rgb(0.3f, 0.6f, 1.0f) * ring;
    });
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float k = letters.at(x, y).r, h = halo.at(x, y).r, v = float(y) / n;
            Rgba gold = mix(rgb(1.0f, 0.95f, 0.6f), rgb(1.0f, 0.45f, 0.1f), v);
            img.at(x, y) = img.at(x, y) + gold * k + rgb(0.2f, 0.4f, 1.0f) * (0.9f * h);
            img.at(x, y).a = 1;
        }
    return img;
}

// Gun sight: rings, a dashed ring, a broken crosshair and degree ticks,
// green on transparent black; alpha follows the brightness.
Image draw_sight(int n) {
    return shade(n, n, [n](float u, float v) {
        float x = u - 0.5f, y = v - 0.5f, r = std::hypot(x, y), a = std::atan2(y, x);
        float px = 1.0f / n;
        auto line = [px](float d, float width) { return clamp01((width - d) / px + 0.5f); };
        float k = line(std::fabs(r - 0.44f), 1.6f * px) + line(std::fabs(r - 0.06f), 1.0f * px);
        float dashes = std::fabs(std::fmod(a / Tau * 24 + 24, 1.0f) - 0.5f) < 0.3f ? 1.0f : 0.0f;
        k += dashes * line(std::fabs(r - 0.31f), 1.2f * px);
        float tick = std::fabs(std::fmod(a / Tau * 72 + 72, 1.0f) - 0.5f) > 0.42f ? 1.0f : 0.0f;
        k += tick * (r > 0.40f && r < 0.44f ? 1.0f : 0.0f);
        bool arm = r > 0.1f && r < 0.49f;
        k += arm ? line(std::fabs(x), 1.0f * px) + line(std::fabs(y), 1.0f * px) : 0.0f;
        k = clamp01(k) + 0.25f * std::exp(-r * r / 0.002f);
        k = clamp01(k);
        return rgb(0.35f * k, 1.0f * k, 0.55f * k, k);
    });
}

// Drifting fog: soft tiling clouds, pale cyan.
Image draw_flog(int n) {
    return shade(n, n, [](float u, float v) {
        float f = smoothstep(-0.35f, 0.6f, fbm(u, v, 4, 5, 0.55f, 11));
        return ramp({{0.0f, rgb(0, 0, 0)}, {0.5f, rgb(0.1f, 0.25f, 0.45f)}, {1.0f, rgb(0.7f, 0.9f, 1.0f)}}, f);
    });
}

// Soft coloured lights scattered over a faint grid; tiles.
Image draw_lights(int n) {
    Random rnd(7);
    struct Light { float x, y, r; Rgba c; };
    const Rgba hues[] = {rgb(1, 0.3f, 0.8f), rgb(0.3f, 0.8f, 1), rgb(1, 0.7f, 0.2f), rgb(0.5f, 1, 0.5f)};
    std::vector<Light> lights;
    for (int i = 0; i < 40; ++i)
        lights.push_back({rnd.unit(), rnd.unit(), 0.015f + 0.05f * rnd.unit() * rnd.unit(), hues[rnd.next() % 4]});
    return shade(n, n, [&lights](float u, float v) {
        Rgba c = rgb(0, 0, 0);
        for (const Light& l : lights) {
            float d = std::hypot(wrap_delta(u - l.x), wrap_delta(v - l.y));
            c = c + l.c * (std::exp(-d * d / (l.r * l.r)) + 0.8f * smoothstep(l.r * 0.6f, l.r * 0.5f, d));
        }
        float gx = std::fabs(wrap_delta(u * 8)), gy = std::fabs(wrap_delta(v * 8));
        float grid = 0.12f * (smoothstep(0.04f, 0.0f, gx) + smoothstep(0.04f, 0.0f, gy));
        return c + rgb(0.3f, 0.3f, 0.5f) * grid;
    });
}

// Funnel lining: bright flowing bands warped by noise, blue to white; tiles.
Image draw_envi(int n) {
    return shade(n, n, [](float u, float v) {
        float w = fbm(u, v, 3, 5, 0.5f, 23);
        float bands = 0.5f + 0.5f * std::sin(Tau * (6 * u + 2 * v) + 5 * w);
        float glints = smoothstep(0.45f, 0.8f, fbm(u, v, 8, 3, 0.5f, 29));
        float t = clamp01(std::pow(bands, 3.0f) * 0.8f + glints * 0.5f);
        return ramp({{0.0f, rgb(0.02f, 0.02f, 0.1f)}, {0.4f, rgb(0.1f, 0.3f, 0.8f)},
                     {0.75f, rgb(0.4f, 0.9f, 1.0f)}, {1.0f, rgb(1, 1, 1)}}, t);
    });
}

// White clouds on a blue sky; tiles.
Image draw_clouds(int n) {
    return shade(n, n, [](float u, float v) {
        float c = smoothstep(0.0f, 0.5f, fbm(u, v, 4, 6, 0.55f, 31));
        float haze = 0.5f + 0.5f * fbm(u, v, 2, 2, 0.5f, 33);
        return mix(mix(rgb(0.2f, 0.4f, 0.85f), rgb(0.4f, 0.6f, 0.95f), haze), rgb(1, 1, 1), c);
    });
}

// Ground grid: glowing lines, every fourth one brighter, over a dark floor.
Image draw_rutor(int n) {
    return shade(n, n, [n](float u, float v) {
        float px = 1.0f / n;
        auto lines = [px](float t, float cells, float width) {
            float d = std::fabs(wrap_delta(t * cells)) / cells;
            return std::exp(-d * d / (width * width * px * px));
        };
        float fine = std::fmax(lines(u, 16, 1.2f), lines(v, 16, 1.2f));
        float major = std::fmax(lines(u, 4, 2.0f), lines(v, 4, 2.0f));
        float floor = 0.06f + 0.04f * fbm(u, v, 8, 4, 0.5f, 37);
        return rgb(floor * 0.6f, floor * 0.5f, floor) + rgb(0.1f, 0.6f, 0.9f) * (0.7f * fine) +
               rgb(0.9f, 0.3f, 1.0f) * major;
    });
}

// A sphere-map view of sky over ground with a bright horizon.
Image draw_envmap(int n) {
    return shade(n, n, [](float u, float v) {
        float x = 2 * u - 1, y = 1 - 2 * v, r = std::hypot(x, y);
        if (r > 1) return rgb(0, 0, 0);
        Rgba sky = mix(rgb(0.9f, 0.95f, 1), rgb(0.15f, 0.3f, 0.8f), clamp01(y * 1.5f));
        Rgba ground = mix(rgb(0.6f, 0.45f, 0.3f), rgb(0.15f, 0.1f, 0.05f), clamp01(-y * 1.5f));
        Rgba c = y > 0 ? sky : ground;
        return c + rgb(1, 0.9f, 0.7f) * std::exp(-std::pow(std::hypot(x + 0.35f, y - 0.45f) / 0.12f, 2.0f));
    });
}

// Fog above the ground: ridged wisps, violet and amber; tiles.
Image draw_fogup(int n) {
    return shade(n, n, [](float u, float v) {
        float ridge = 1 - std::fabs(fbm(u, v, 3, 5, 0.5f, 41));
        float t = smoothstep(0.55f, 1.0f, ridge);
        float hue = 0.5f + 0.5f * fbm(u, v, 2, 2, 0.5f, 43);
        return mix(rgb(0.5f, 0.2f, 0.8f), rgb(1.0f, 0.6f, 0.2f), hue) * t;
    });
}

// Lens flare: hot core, six streaks and a faint ring; alpha follows brightness
// and reaches zero before the square's edge.
Image draw_flare(int n) {
    return shade(n, n, [](float u, float v) {
        float x = u - 0.5f, y = v - 0.5f, r = std::hypot(x, y), a = std::atan2(y, x);
        float core = std::exp(-r * r / 0.004f) + 0.5f * std::exp(-r * r / 0.03f);
        float streak = std::pow(std::fabs(std::cos(3 * a)), 60.0f) * std::exp(-r / 0.12f);
        float ring = 0.25f * std::exp(-std::pow((r - 0.33f) / 0.02f, 2.0f));
        float edge = smoothstep(0.5f, 0.42f, r);
        Rgba c = rgb(1, 0.95f, 0.8f) * core + rgb(1, 0.8f, 0.5f) * streak +
                 rgb(0.5f * ring, 0.8f * ring, ring * 1.6f);
        c = c * edge;
        c.a = clamp01(std::fmax(c.r, std::fmax(c.g, c.b)));
        return c;
    });
}

// Metaball blobs, violet to white on black; tiles.
Image draw_blobs(int n) {
    Random rnd(13);
    std::vector<std::array<float, 3>> balls;
    for (int i = 0; i < 14; ++i) balls.push_back({rnd.unit(), rnd.unit(), 0.03f + 0.05f * rnd.unit()});
    return shade(n, n, [&balls](float u, float v) {
        float field = 0;
        for (const auto& b : balls) {
            float dx = wrap_delta(u - b[0]), dy = wrap_delta(v - b[1]);
            field += b[2] * b[2] / (dx * dx + dy * dy + 1e-4f);
        }
        float t = smoothstep(0.6f, 2.2f, field);
        return ramp({{0.0f, rgb(0, 0, 0)}, {0.35f, rgb(0.35f, 0.05f, 0.5f)}, {0.7f, rgb(1.0f, 0.3f, 0.7f)},
                     {1.0f, rgb(1, 0.95f, 1)}}, t);
    });
}

// Background of the mesh pair: a striped sun setting over a perspective grid
// under a starry sky.
Image draw_thennew(int n) {
    const float horizon = 0.64f;
    Image img = shade(n, n, [horizon](float u, float v) {
        if (v > horizon) {  // floor: lines converging to the vanishing point
            float depth = (v - horizon) / (1 - horizon);
            float z = 1 / (depth + 0.02f);
            float across = std::fabs(wrap_delta((u - 0.5f) * z * 2));
            float along = std::fabs(wrap_delta(z * 0.6f));
            float line = std::fmax(smoothstep(0.06f, 0.0f, across), smoothstep(0.08f, 0.0f, along));
            return rgb(0.05f, 0.0f, 0.1f) + rgb(0.9f, 0.2f, 0.8f) * (line * clamp01(depth * 3));
        }
        float h = v / horizon;
        Rgba c = ramp({{0.0f, rgb(0.01f, 0.01f, 0.06f)}, {0.6f, rgb(0.25f, 0.05f, 0.3f)},
                       {1.0f, rgb(0.9f, 0.35f, 0.2f)}}, h);
        float r = std::hypot(u - 0.5f, v - 0.5f);
        bool slit = v > 0.5f && std::fmod((v - 0.5f) * 60, 2.0f) < (v - 0.5f) * 10;
        if (r < 0.2f && !slit) c = mix(rgb(1, 0.9f, 0.3f), rgb(1, 0.3f, 0.5f), clamp01((v - 0.3f) / 0.34f));
        return c;
    });
    Random rnd(17);
    for (int i = 0; i < 120; ++i) {
        float x = rnd.unit(), y = rnd.unit() * 0.55f, k = rnd.unit();
        if (std::hypot(x - 0.5f, y - 0.5f) > 0.21f)  // not in front of the sun
            splat(img, x * n, y * n, 1.0f, rgb(1, 1, 1) * (k * (1 - y / horizon)));
    }
    return img;
}

// Caption: two lines of text, white with a blue glow; alpha is the coverage.
Image draw_soultext(int n) {
    Image text(n, n);
    for (Rgba& p : text.pixels) p = rgb(0, 0, 0, 0);
    float big = n / 32.0f, small = n / 110.0f;
    draw_text(text, "SOUL", (n - text_width("SOUL", big)) / 2, n * 0.16f, big, rgb(1, 1, 1, 1));
    draw_text(text, "LIGHT IN MOTION", (n - text_width("LIGHT IN MOTION", small)) / 2, n * 0.42f, small,
              rgb(1, 1, 1, 1));
    Image glow = text;
    blur(glow, n / 100);
    blur(glow, n / 100);
    Image img(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float k = text.at(x, y).a, g = glow.at(x, y).a;
            Rgba c = mix(rgb(0.6f, 0.9f, 1), rgb(1, 1, 1), k) * k + rgb(0.2f, 0.4f, 1) * (g * 0.8f);
            c.a = clamp01(std::fmax(k, g * 0.8f));
            img.at(x, y) = c;
        }
    return img;
}

// Picture over the tunnel: red marrow cells thickening towards the edges.
Image draw_marrowen(int n) {
    return shade(n, n, [](float u, float v) {
        auto [d1, d2] = cells(u, v, 9, 47);
        float wall = smoothstep(0.12f, 0.0f, d2 - d1);
        float r = std::hypot(u - 0.5f, v - 0.5f);
        float vignette = smoothstep(0.22f, 0.62f, r);
        float pulse = 0.5f + 0.5f * fbm(u, v, 4, 3, 0.5f, 53);
        Rgba c = rgb(0.8f, 0.15f, 0.1f) * (wall * (0.5f + pulse)) + rgb(0.25f, 0.02f, 0.05f) * (1 - d1);
        return c * vignette;
    });
}

// Perforated plate: rows of holes with bright rims; tiles.
Image draw_holes(int n) {
    return shade(n, n, [](float u, float v) {
        float cx = wrap_delta(u * 6) / 6, cy = wrap_delta(v * 6 + 0.5f * (int(std::floor(u * 6 + 0.5f)) % 2)) / 6;
        float r = std::hypot(cx, cy) * 6;
        float plate = 0.35f + 0.1f * fbm(u, v, 8, 4, 0.5f, 59);
        float rim = std::exp(-std::pow((r - 0.32f) / 0.04f, 2.0f));
        Rgba c = rgb(0.5f, 0.55f, 0.7f) * plate * smoothstep(0.3f, 0.34f, r) + rgb(0.6f, 0.9f, 1.0f) * rim;
        return c;
    });
}

// Crystal facets: cells shaded by their distance, with bright edges; tiles.
Image draw_crysblb(int n) {
    return shade(n, n, [](float u, float v) {
        auto [d1, d2] = cells(u, v, 7, 61);
        float edge = smoothstep(0.08f, 0.0f, d2 - d1);
        float facet = 1 - clamp01(d1 * 1.3f);
        return mix(rgb(0.1f, 0.1f, 0.4f), rgb(0.3f, 0.8f, 0.9f), facet) * (0.3f + 0.5f * facet) +
               rgb(0.9f, 0.7f, 1.0f) * edge;
    });
}

// Background of the last scene: a dim nebula with stars.
Image draw_bg(int n) {
    Image img = shade(n, n, [](float u, float v) {
        float a = smoothstep(-0.1f, 0.7f, fbm(u, v, 3, 6, 0.55f, 71));
        float b = smoothstep(0.0f, 0.8f, fbm(u, v, 2, 5, 0.6f, 73));
        return rgb(0.25f, 0.05f, 0.35f) * a + rgb(0.05f, 0.25f, 0.35f) * b;
    });
    Random rnd(67);
    for (int i = 0; i < 200; ++i) {
        float x = rnd.unit(), y = rnd.unit(), k = rnd.unit();
        splat(img, x * n, y * n, 1.2f, rgb(1, 1, 1) * k);
    }
    return img;
}

// Opening backdrop: deep red velvet in soft vertical folds with a sheen.
Image draw_myvelvet(int n) {
    return shade(n, n, [](float u, float v) {
        float fold = 0.5f + 0.5f * std::sin(Tau * (3 * u + 0.35f * fbm(u, v, 2, 3, 0.5f, 79)));
        float fibre = 0.9f + 0.1f * fbm(u, v, 64, 2, 0.5f, 83);
        float sheen = std::pow(fold, 8.0f);
        float shade = (0.15f + 0.35f * fold) * fibre * (0.6f + 0.4f * std::sin(3.14159f * v));
        return rgb(0.9f, 0.1f, 0.25f) * shade + rgb(1.0f, 0.5f, 0.6f) * (0.25f * sheen);
    });
}

}  // namespace

const std::vector<TextureRecipe>& targa_recipes() {
    static const std::vector<TextureRecipe> recipes = {
        {TexZu, 256, 24, draw_zu},           {TexSight, 256, 32, draw_sight},
        {TexFlog, 256, 24, draw_flog},       {TexLights, 256, 24, draw_lights},
        {TexEnvi, 256, 24, draw_envi},       {TexClouds, 256, 24, draw_clouds},
        {TexRutor, 512, 24, draw_rutor},     {TexEnvmap, 256, 24, draw_envmap},
        {TexFogup, 256, 24, draw_fogup},     {TexFlare, 256, 32, draw_flare},
        {TexBlobs, 256, 24, draw_blobs},     {TexThennew, 512, 24, draw_thennew},
        {TexSoultext, 512, 32, draw_soultext}, {TexMarrowen, 512, 24, draw_marrowen},
        {TexHoles, 256, 24, draw_holes},     {TexCrysblb, 256, 24, draw_crysblb},
        {TexBg, 512, 24, draw_bg},           {TexMyvelvet, 512, 24, draw_myvelvet},
    };
    return recipes;
}
