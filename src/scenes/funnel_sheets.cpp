// Funnel with wave sheets: down a deep funnel lined with a slowly
// turning, drifting image; further off two wave sheets turning against each
// other and the rippling box swinging in depth through them. All additive.
//
// Relies on: 2D texturing, blend function (GL_SRC_ALPHA, GL_ONE), depth test
// and texture generation off, modelview current, the full-window viewport.
// Leaves blending on, the colour at (1, 1, 1, 0.4) and "lights" bound.
#include "scenes/funnel_sheets.h"

#include <GL/gl.h>

#include <array>
#include <cmath>

#include "scenes/grid.h"
#include "scenes/startup_media.h"
#include "textures/draw_state.h"

namespace {

// z of every SharedBuffer grid point: a wave of amplitude 8 along the columns
// (alongColumns, sheet A) or along the rows (sheet B), phase 0.05 h.
void wave_heights(float* grid, bool alongColumns, double h) {
    std::array<float, GridSide> wave;  // one sine per row or column
    for (int k = 0; k < GridSide; ++k) wave[size_t(k)] = float(8.0 * std::sin(0.15 * k + 0.05 * h));
    for (int i = 0; i < GridSide; ++i)
        for (int j = 0; j < GridSide; ++j) grid[grid_index(i, j) + 2] = wave[size_t(alongColumns ? j : i)];
}

// A sheet `depth` in front of the common swing, turned by `turn` degrees.
void place_sheet(double d, double depth, double turn) {
    glLoadIdentity();
    glTranslatef(float(d + 0.04 - 0.6), -0.05f, float(d + depth - 4.3));
    glRotatef(float(turn), 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, -14.0f);
}

}  // namespace

void funnel_sheets_startup(const SceneContext& ctx) {
    fill_flat_grid(ctx.sharedBuffer);
    // The funnel: the flat grid, 80 units deep at the centre.
    fill_flat_grid(ctx.vertexGrid);
    set_bowl_heights(ctx.vertexGrid, -80.0);
    load_table_texture(TexLights, ctx);
    load_table_texture(TexEnvi, ctx);
}

void funnel_sheets_render(const SceneContext& ctx) {
    const double h = 0.5 * ctx.position;  // half-rate time, not rounded
    const double d = std::sin(0.007 * h);
    enable_blend(1);

    // The funnel: its rim at z = d - 0.8, at or inside the near plane, so its
    // inside fills the view; the image drifts by e and turns by e degrees.
    const float e = float(0.001 * h);
    glLoadIdentity();
    glTranslatef(0.0f, -0.05f, float(d + 10.0 - 4.3));
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, -6.5f);
    glRotatef(e, 0.0f, 0.0f, 1.0f);
    bind_texture(TexEnvi, ctx.textureTable);
    draw_shifted_grid_mesh(ctx.vertexGrid, e);

    // Sheets and box share "lights" at 0.4 for the rest of the frame.
    bind_texture(TexLights, ctx.textureTable);
    glColor4f(1.0f, 1.0f, 1.0f, 0.4f);
    wave_heights(ctx.sharedBuffer, true, h);
    place_sheet(d, 3.5, 0.01 * h);
    draw_grid_mesh(ctx.sharedBuffer);
    wave_heights(ctx.sharedBuffer, false, h);
    place_sheet(d, 2.0, 0.01 * (0.5 * -ctx.position));
    draw_grid_mesh(ctx.sharedBuffer);

    // The box steps every second frame.
    enable_blend(1);
    bind_texture(TexLights, ctx.textureTable);
    draw_ripple_box(ctx.sharedBuffer, ctx.frame / 2, RippleBox::Funnel);
}
