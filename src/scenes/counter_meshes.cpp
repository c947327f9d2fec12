// Counter-rotating meshes: a full-window picture, and in front of it
// one mesh drawn twice at the same place, sphere-mapped, the two copies
// tumbling in opposite directions about one diagonal axis. Everything is
// added onto what lies behind it. The start-up also loads the mesh and the
// blob texture that the blob sheet draws.
//
// Relies on: the sphere-map generation mode, GL_TEXTURE_2D as the last mesh
// draw left it (the picture is a flat white square when that object was
// untextured). Leaves the depth test and blending on, texture generation off.
#include "scenes/counter_meshes.h"

#include <GL/gl.h>

#include "scenes/grid.h"
#include "scenes/startup_media.h"
#include "textures/draw_state.h"

namespace {

// The depth buffer is kept between the copies: where the second lies behind
// the first it is not drawn.
void draw_copy(const SceneContext& ctx, float angle) {
    glLoadIdentity();
    glTranslatef(0.0f, -10.0f, -80.0f);
    glRotatef(-50.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(angle, 1.0f, 1.0f, 1.0f);
    set_sphere_generation(true);
    draw_model(SlotMagic, ctx.modelLoader, ctx.modelTable, ctx.modelTextureTable);
    set_sphere_generation(false);
}

}  // namespace

void counter_meshes_startup(const SceneContext& ctx) {
    load_table_model(SlotMagic, ctx);
    load_table_texture(TexBlobs, ctx);
    load_table_texture(TexThennew, ctx);
}

void counter_meshes_render(const SceneContext& ctx) {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);

    // The picture: a unit square at 1.8 fills the 45-degree view.
    bind_texture(TexThennew, ctx.textureTable);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.8f);
    draw_flat_quad(1.0f, 1.0f);

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    const float f = float(ctx.position);
    draw_copy(ctx, 0.09f * f);
    draw_copy(ctx, 0.09f * -f);
}
