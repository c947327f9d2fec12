// Rippling box: a full-view backdrop and, in front of it, a slowly
// tumbling open box of four crossing walls rippling with a mirrored sine,
// added at half strength.
//
// Relies on: 2D texturing, additive blending on, depth test and texture
// generation off, modulate, modelview current. Leaves the colour at
// (1, 1, 1, 0.5) and the wall texture bound.
#include "scenes/rippling_box.h"

#include <GL/gl.h>

#include "scenes/grid.h"
#include "scenes/startup_media.h"
#include "textures/draw_state.h"

void rippling_box_startup(const SceneContext& ctx) {
    fill_flat_grid(ctx.sharedBuffer);
    load_table_texture(TexMyvelvet, ctx);
}

void rippling_box_render(const SceneContext& ctx) {
    // Backdrop: a unit square at 1.8 fills the 45-degree view.
    bind_texture(TexMyvelvet, ctx.textureTable);
    glLoadIdentity();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, -1.8f);
    draw_flat_quad(1.0f, 1.0f);

    // The walls; the box steps every fifth frame.
    bind_texture(TexLights, ctx.textureTable);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    draw_ripple_box(ctx.sharedBuffer, ctx.frame / 5, RippleBox::Opening);
}
