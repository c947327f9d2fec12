// Twin bowls and sinking mesh: two bowl-shaped sheets turning in
// opposite directions, the nearer one fading in and out; a full-window
// background added under them; and a sphere-mapped mesh spinning about the
// vertical while it sinks through the view from above and out below.
//
// Relies on: grid 7's flat x and y (written by the tunnel's start-up); the
// sphere-map generation mode; GL_TEXTURE_GEN_T as the frame before left it
// for the far sheet (off in the scene's first frame, on in every later one);
// GL_TEXTURE_2D as the last mesh draw left it for the far sheet and the
// background. Leaves the depth test off, blending on, GL_TEXTURE_GEN_S off and
// GL_TEXTURE_GEN_T on.
#include "scenes/twin_bowls.h"

#include <GL/gl.h>

#include <cmath>

#include "scenes/grid.h"
#include "scenes/startup_media.h"
#include "textures/draw_state.h"

namespace {
constexpr float MeshStartHeight = 10.0f;
}

float SinkingMeshHeight = MeshStartHeight;

void twin_bowls_startup(const SceneContext& ctx) {
    SinkingMeshHeight = MeshStartHeight;  // where a looping show's next pass starts it too
    load_table_model(SlotShob, ctx);
    load_table_texture(TexCrysblb, ctx);
    load_table_texture(TexBg, ctx);
}

void twin_bowls_render(const SceneContext& ctx) {
    const float f = float(ctx.position);
    set_additive_blend();
    glEnable(GL_BLEND);

    // The far sheet, a bowl 60 deep, its t generated when GL_TEXTURE_GEN_T
    // was left on.
    glLoadIdentity();
    glTranslatef(2.0f, 0.0f, -4.0f);
    glRotatef(0.1f * f, 0.2f, 0.0f, 1.0f);
    bind_texture(TexCrysblb, ctx.textureTable);
    set_bowl_heights(ctx.vertexGrid, -60.0);
    glDisable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    draw_shifted_grid_mesh(ctx.vertexGrid, 0.001f * f);

    // The background, added onto the far sheet.
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    set_sphere_generation(false);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, -2.4f);
    bind_texture(TexBg, ctx.textureTable);
    draw_flat_quad(1.4f, 1.0f);

    // The mesh, opaque over both: nothing else wrote the depth buffer.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    set_sphere_generation(true);
    glLoadIdentity();
    glTranslatef(2.5f, SinkingMeshHeight, -10.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(f, 0.0f, 0.0f, 1.0f);
    draw_model(SlotShob, ctx.modelLoader, ctx.modelTable, ctx.modelTextureTable);
    set_sphere_generation(false);

    // The near sheet, the same bowl, added over everything; it fades in and
    // out (its alpha swings from -0.7 to 1.3 and is clamped).
    glLoadIdentity();
    glTranslatef(2.0f, 0.0f, -2.0f);
    glRotatef(0.1f * -f, 0.2f, 0.0f, 1.0f);
    bind_texture(TexHoles, ctx.textureTable);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, float(std::sin(0.01 * ctx.position) - 0.2 + 0.5));
    draw_shifted_grid_mesh(ctx.vertexGrid, 0.002f * f);

    // Left on: the next frame's far sheet gets generated t coordinates.
    glEnable(GL_TEXTURE_GEN_T);

    SinkingMeshHeight -= 0.007f * float(ctx.step);  // 0.42 a second
}
