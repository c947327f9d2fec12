// Captured collage sheet: eight textured squares composed off
// screen into render target 0, then that picture on a gently embossed sheet
// whose points wobble in x and y.
//
// Relies on: 2D texturing, additive blending on (its start-up sets it), depth
// test and texture generation off, modelview current. Leaves the colour at
// (1, 1, 1, 1), render target 0 bound, and the clear colour opaque black for
// every later frame.
#include "scenes/collage_sheet.h"

#include <GL/gl.h>

#include <array>
#include <cmath>

#include "scenes/grid.h"
#include "scenes/startup_media.h"
#include "textures/draw_state.h"
#include "textures/render_target.h"

namespace {

constexpr int CollageTarget = 0;
constexpr int CollageSize = 512;

// The unit square with its texture shifted sideways by s0.
void draw_square(float s0) {
    glBegin(GL_QUADS);
        glTexCoord2f(s0, 0.0f); glVertex3f(-1.0f, -1.0f, 0.0f);
        glTexCoord2f(s0 + 1.0f, 0.0f); glVertex3f(1.0f, -1.0f, 0.0f);
        glTexCoord2f(s0 + 1.0f, 1.0f); glVertex3f(1.0f, 1.0f, 0.0f);
        glTexCoord2f(s0, 1.0f); glVertex3f(-1.0f, 1.0f, 0.0f);
    glEnd();
}

void turning_sight(const SceneContext& ctx, float x, float f) {
    bind_texture(TexSight, ctx.textureTable);
    glLoadIdentity();
    glTranslatef(x, 0.0f, -1.0f);
    glRotatef(0.2f * f, 0.0f, 0.0f, 1.0f);
    set_alpha(0.2f);
    draw_square(0.0f);
}

// The four fog layers are one image at one place drifting at two speeds each
// way, so they shear against one another; the drift relies on repeat wrapping.
void fog_layer(const SceneContext& ctx, float s0) {
    bind_texture(TexFlog, ctx.textureTable);
    glLoadIdentity();
    glTranslatef(0.0f, 0.1f, -1.8f);
    set_alpha(0.2f);
    draw_square(s0);
}

void draw_collage(const SceneContext& ctx) {
    const float f = float(ctx.position);
    turning_sight(ctx, 1.0f, f);
    turning_sight(ctx, -1.0f, f);
    fog_layer(ctx, 0.001f * f);
    fog_layer(ctx, 0.0005f * f);
    fog_layer(ctx, -0.001f * f);
    fog_layer(ctx, -0.0005f * f);

    bind_texture(TexZu, ctx.textureTable);
    glLoadIdentity();
    glTranslatef(-1.0f, 0.0f, -4.5f);
    set_alpha(1.0f);
    draw_square(0.0f);

    // Swings between -90 and +90 degrees, about 628 sixtieths of a second a period.
    bind_texture(TexSight, ctx.textureTable);
    glLoadIdentity();
    glTranslatef(1.8f, 0.0f, -6.0f);
    glRotatef(float(90.0 * std::sin(0.01 * ctx.position)), 0.0f, 0.0f, 1.0f);
    set_alpha(1.0f);
    draw_square(0.0f);
}

// Flat x and y wobbled by the integer indices (one radian a row apart); a
// still egg-crate relief of amplitude 0.5. x follows the row alone and y the
// column alone, so 45 sines a frame give every wobble; the relief is made once.
void wobble_sheet(float* grid, double f) {
    static const auto relief = [] {
        std::array<float, GridSide * GridSide> z{};
        for (int i = 0; i < GridSide; ++i)
            for (int j = 0; j < GridSide; ++j)
                z[size_t(i * GridSide + j)] = float(0.5 * std::sin(0.715 * i) * std::cos(0.715 * j));
        return z;
    }();
    std::array<double, GridSide> wobble;
    for (int k = 0; k < GridSide; ++k) wobble[size_t(k)] = 0.1 * std::sin(k + 0.05 * f);
    for (int i = 0; i < GridSide; ++i)
        for (int j = 0; j < GridSide; ++j) {
            float* point = grid + grid_index(i, j);
            point[0] = float((i / 5.0 - 4.5) + wobble[size_t(i)]);
            point[1] = float((j / 5.0 - 4.5) + wobble[size_t(j)]);
            point[2] = relief[size_t(i * GridSide + j)];
        }
}

}  // namespace

void collage_sheet_startup(const SceneContext& ctx) {
    fill_flat_grid(ctx.vertexGrid);
    create_target(ctx.targetTextureTable, CollageSize, 3, GL_RGB, CollageTarget);
    load_table_texture(TexZu, ctx);
    load_table_texture(TexSight, ctx);
    load_table_texture(TexFlog, ctx);
    set_additive_blend();
    set_sphere_mapping();  // the mode only; generation stays off
    enable_blend(1);
}

void collage_sheet_render(const SceneContext& ctx) {
    // Pass 1: the collage, drawn over the cleared frame, captured and wiped.
    begin_target_pass(CollageSize, CollageSize);
        draw_collage(ctx);
    end_target_pass(ctx.targetTextureTable, CollageSize, CollageSize, CollageTarget);

    // Pass 2: the sheet, which stretches the squeezed capture back.
    glLoadIdentity();
    set_alpha(1.0f);
    glTranslatef(0.1f, 0.0f, -7.0f);
    wobble_sheet(ctx.vertexGrid, ctx.position);
    bind_target(ctx.targetTextureTable, CollageTarget);
    draw_grid_mesh(ctx.vertexGrid);
}
