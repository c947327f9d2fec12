// Reflecting spheres: two meshes turning at the level
// of a large ground plane, a drifting fog layer fifty units above it and three
// spinning flares between. The scene is drawn small into render target 0, laid
// onto a dome-shaped sheet drawn into render target 1, and that picture is
// sphere-mapped onto two floating spheres; then the scene is drawn again at
// full size over them.
//
// Relies on: the sphere-map generation mode; blending as the scene before left
// it, for the first pass of the first frame only (on after the funnel, so the
// ground plane is added at 0.2; off after the blob sheet); GL_TEXTURE_2D as
// the last mesh draw left it. Leaves the depth test on, blending and texture
// generation off, GL_TEXTURE_2D as the last object of slot 1 left it.
#include "scenes/reflecting_spheres.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "scenes/grid.h"
#include "scenes/startup_media.h"
#include "textures/draw_state.h"
#include "textures/render_target.h"

namespace {

constexpr int SceneTarget = 0;   // the small picture of the scene
constexpr int SheetTarget = 1;   // the dome sheet, mapped onto the spheres
constexpr int SceneSize = 128;
constexpr int SheetSize = 512;

// Made once and kept: the spheres are the same every frame.
GLUquadric* Sphere = nullptr;

// Everything after the identity rides on one matrix: plane, fog and flares
// are placed relative to the turning meshes and to one another.
void scene_pass(const SceneContext& ctx) {
    const double p = ctx.position;
    const float f = float(p);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glLoadIdentity();
    glTranslatef(0.0f, float(12.0 * std::sin(0.0035 * p) - 25.0), float(20.0 * std::sin(0.002 * p) - 40.0));
    glRotatef(float(220.0 * std::sin(0.0035 * p)), 0.0f, 1.0f, 0.0f);

    set_sphere_generation(true);
    draw_model(SlotYeah, ctx.modelLoader, ctx.modelTable, ctx.modelTextureTable);
    set_sphere_generation(false);
    draw_model(SlotAru, ctx.modelLoader, ctx.modelTable, ctx.modelTextureTable);

    // Ground plane, with blending as it was: off but in a scene's first pass.
    bind_texture(TexRutor, ctx.textureTable);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 0.2f);
    glTranslatef(0.0f, 0.0f, -1.0f);
    draw_flat_quad(145.0f, 145.0f);

    // Fog, drifting diagonally; relies on repeat wrapping.
    bind_texture(TexFogup, ctx.textureTable);
    glEnable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 0.4f);
    glTranslatef(0.0f, 0.0f, -50.0f);
    draw_flat_quad(145.0f, 145.0f, 0.0009f * f);

    // Three flares, each turned relative to the one before.
    bind_texture(TexFlare, ctx.textureTable);
    glTranslatef(-1.5f, 1.5f, 19.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(f, 0.0f, 0.0f, 1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    draw_flat_quad(4.5f, 4.5f);
    glRotatef(90.0f, 1.0f, 1.0f, 0.0f);
    glRotatef(-f, 0.0f, 0.0f, 1.0f);
    draw_flat_quad(4.5f, 4.5f);
    glRotatef(90.0f, 1.0f, 1.0f, 1.0f);
    glRotatef(f, 0.0f, 0.0f, 1.0f);
    draw_flat_quad(4.5f, 4.5f);

    glDisable(GL_BLEND);
}

// The dome: 22 by 17.6 units, 10 high at the centre. The tunnel later finds
// these x and y in grid 4.
void fill_dome(float* grid) {
    for (int i = 0; i < GridSide; ++i)
        for (int j = 0; j < GridSide; ++j) {
            float* point = grid + grid_index(i, j);
            point[0] = i / 2.0f - 10.9f;
            point[1] = j / 2.5f - 8.5f;
        }
    set_bowl_heights(grid, 10.0);
}

// A sphere of radius 1.1 at a point of its slow sine path.
void draw_sphere(float x, float y, float z) {
    glLoadIdentity();
    glTranslatef(x, y, z);
    gluSphere(Sphere, 1.1, 20, 20);
}

}  // namespace

void reflecting_spheres_startup(const SceneContext& ctx) {
    load_table_model(SlotYeah, ctx);
    load_table_model(SlotAru, ctx);
    // Replaces the name the collage's start-up put in entry 0; both scenes use this one.
    create_target(ctx.targetTextureTable, SheetSize, 3, GL_RGB, SceneTarget);
    create_target(ctx.targetTextureTable, SheetSize, 3, GL_RGB, SheetTarget);
    load_table_texture(TexClouds, ctx);
    load_table_texture(TexRutor, ctx);
    load_table_texture(TexEnvmap, ctx);
    load_table_texture(TexFogup, ctx);
    load_table_texture(TexFlare, ctx);
    if (!Sphere) {
        Sphere = gluNewQuadric();
        gluQuadricNormals(Sphere, GLU_SMOOTH);
        gluQuadricTexture(Sphere, GL_TRUE);
    }
}

void reflecting_spheres_render(const SceneContext& ctx) {
    // The small picture of the scene, squeezed into a square.
    begin_target_pass(SceneSize, SceneSize);
        scene_pass(ctx);
    end_target_pass(ctx.targetTextureTable, SceneSize, SceneSize, SceneTarget);

    // That picture on the dome, captured again. Depth test on, blending off,
    // as the pass left them.
    begin_target_pass(SheetSize, SheetSize);
        glLoadIdentity();
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glTranslatef(0.0f, 0.0f, -20.5f);
        fill_dome(ctx.vertexGrid);
        bind_target(ctx.targetTextureTable, SceneTarget);
        draw_grid_mesh(ctx.vertexGrid);
    end_target_pass(ctx.targetTextureTable, SheetSize, SheetSize, SheetTarget);

    // The dome's picture sphere-mapped onto the two spheres.
    const double t = ctx.position;
    set_sphere_generation(true);
    bind_target(ctx.targetTextureTable, SheetTarget);
    draw_sphere(float(7.0 * std::sin(t * 0.042 * 0.3)), float(2.5 * std::sin(t * 0.03 * 0.3)),
                float(5.0 * std::sin(t * 0.05 * 0.3) - 15.0));
    draw_sphere(float(3.0 * std::sin(t * 0.07 * 0.3)), float(4.0 * std::cos(t * 0.06 * 0.3)),
                float(5.0 * std::cos(t * 0.02 * 0.3) - 13.0));
    set_sphere_generation(false);

    // The scene at full size over the spheres.
    scene_pass(ctx);
}
