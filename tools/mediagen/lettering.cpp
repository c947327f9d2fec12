#include "lettering.h"

#include <cmath>

void draw_text(Image& img, const std::string& text, float x, float y, float dot, Rgba colour) {
    const float radius = 0.55f * dot;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char* rows = glyph_rows(text[i]);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c) {
                if (!(rows[r] & (16 >> c))) continue;
                float cx = x + (i * 6 + c + 0.5f) * dot, cy = y + (r + 0.5f) * dot;
                int x0 = int(cx - dot), x1 = int(cx + dot), y0 = int(cy - dot), y1 = int(cy + dot);
                for (int py = y0; py <= y1; ++py)
                    for (int px = x0; px <= x1; ++px) {
                        if (px < 0 || py < 0 || px >= img.width || py >= img.height) continue;
                        float d = std::hypot(px + 0.5f - cx, py + 0.5f - cy);
                        float k = clamp01(radius + 0.5f - d);
                        Rgba& p = img.at(px, py);
                        Rgba add = colour * k;
                        p.r = std::fmax(p.r, add.r);
                        p.g = std::fmax(p.g, add.g);
                        p.b = std::fmax(p.b, add.b);
                        p.a = std::fmax(p.a, add.a);
                    }
            }
    }
}
