// Tunnel and retreating mesh: a deep tunnel whose mouth surrounds
// the eye, rolling slowly to and fro about its axis; a full-window picture
// added over it; and close in front a sphere-mapped mesh tumbling while it
// backs away until it stops. The start-up also writes the flat grid 7 that the
// blob sheet and the twin bowls use.
//
// Relies on: grid 4's x and y as the reflecting spheres last wrote them (a
// mouth of 22 by 17.6 units); the sphere-map generation mode; GL_TEXTURE_2D
// as the last mesh draw left it for tunnel and picture. Leaves the depth test
// on, blending and texture generation off.
#include "scenes/tunnel.h"

#include <GL/gl.h>

#include <cmath>

#include "scenes/grid.h"
#include "scenes/startup_media.h"
#include "textures/draw_state.h"

namespace {
constexpr float MeshStartDistance = -5.0f;
}

float TunnelMeshDistance = MeshStartDistance;

void tunnel_startup(const SceneContext& ctx) {
    TunnelMeshDistance = MeshStartDistance;  // where a looping show's next pass starts it too
    fill_flat_grid(ctx.vertexGrid);
    load_table_model(SlotOrey, ctx);
    load_table_texture(TexMarrowen, ctx);
    load_table_texture(TexHoles, ctx);
}

void tunnel_render(const SceneContext& ctx) {
    const double p = ctx.position;
    const float f = float(p);

    // The tunnel, not moved: its axis turned 12 degrees from the line of
    // sight, rolling up to 3 degrees each way; its rim lies in the eye's
    // plane, so the near plane cuts it open.
    glLoadIdentity();
    glRotatef(-12.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(float(3.0 * std::sin(0.03 * p)), 0.0f, 0.0f, 1.0f);
    bind_texture(TexHoles, ctx.textureTable);
    set_bowl_heights(ctx.vertexGrid, -220.0);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 0.7f);
    draw_shifted_grid_mesh(ctx.vertexGrid, 0.001f * f);

    // The picture, added over the tunnel.
    bind_texture(TexMarrowen, ctx.textureTable);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.7f);
    draw_flat_quad(1.0f, 1.0f);

    // The mesh: its two turns about y add up to -0.1 f.
    glLoadIdentity();
    glTranslatef(1.5f, 0.0f, TunnelMeshDistance);
    glRotatef(50.0f, 1.0f, 0.0f, 1.0f);
    glRotatef(0.05f * f, 0.0f, 1.0f, 0.0f);
    set_sphere_generation(true);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glRotatef(0.15f * -f, 0.0f, 1.0f, 0.0f);
    draw_model(SlotOrey, ctx.modelLoader, ctx.modelTable, ctx.modelTextureTable);
    set_sphere_generation(false);

    // Backs away 0.01 a sixtieth of a second until past -8: 5 seconds from -5.
    if (TunnelMeshDistance > -8.0f) TunnelMeshDistance -= 0.01f * float(ctx.step);
}
