// Blob sheet with caption: a bowl-shaped sheet of drifting blobs
// turning slowly, added at half strength onto black; a caption added over it;
// and far behind, drawn last and opaque over both, the tumbling mesh of the
// counter-rotating scene, sphere-mapped.
//
// Relies on: the flat x and y of its grid (grid 6 from its own start-up,
// grid 7 from the tunnel's); the sphere-map generation mode; GL_TEXTURE_2D as
// the last mesh draw left it for sheet and caption. Leaves the depth test on,
// blending and texture generation off.
#include "scenes/blob_sheet.h"

#include <GL/gl.h>

#include "scenes/grid.h"
#include "scenes/startup_media.h"
#include "textures/draw_state.h"

void blob_sheet_startup(const SceneContext& ctx) {
    fill_flat_grid(ctx.vertexGrid);  // z is written before every draw
    load_table_texture(TexSoultext, ctx);
}

void blob_sheet_render(const SceneContext& ctx) {
    const float f = float(ctx.position);

    // The sheet: its s given per vertex, its t generated (with the current
    // normal, which the mesh of the frame before left), drifting by 0.001 f.
    bind_texture(TexBlobs, ctx.textureTable);
    glLoadIdentity();
    glTranslatef(2.0f, 0.0f, -3.0f);
    glRotatef(0.1f * f, 0.2f, 0.0f, 1.0f);
    glEnable(GL_TEXTURE_GEN_T);
    set_bowl_heights(ctx.vertexGrid, -30.0);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    draw_shifted_grid_mesh(ctx.vertexGrid, 0.001f * f);
    glDisable(GL_TEXTURE_GEN_T);

    // The caption, added over the sheet.
    bind_texture(TexSoultext, ctx.textureTable);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glLoadIdentity();
    glTranslatef(0.05f, -0.2f, -1.7f);
    draw_flat_quad(1.0f, 1.0f);

    // The mesh, opaque: sheet and caption left the depth buffer clear.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    set_sphere_generation(true);
    glLoadIdentity();
    glTranslatef(0.0f, -10.0f, -80.0f);
    glRotatef(-50.0f, 1.0f, 0.0f, 1.0f);
    glRotatef(0.3f * f, 1.0f, 1.0f, 0.0f);
    draw_model(SlotMagic, ctx.modelLoader, ctx.modelTable, ctx.modelTextureTable);
    set_sphere_generation(false);
}
