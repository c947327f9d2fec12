// Grid procedures: flat grids, grid meshes, the mirrored heights and the
// rippling box of four walls.
#include "scenes/grid.h"

#include <GL/gl.h>

#include <array>
#include <cmath>

#include "timeline/scene_context.h"

void fill_flat_grid(float* grid) {
    for (int i = 0; i < GridSide; ++i)
        for (int j = 0; j < GridSide; ++j) {
            float* point = grid + grid_index(i, j);
            point[0] = i / 5.0f - 4.5f;
            point[1] = j / 5.0f - 4.5f;
            point[2] = 0.0f;
        }
}

namespace {
void corner(const float* grid, int i, int j, float shift) {
    const float* point = grid + grid_index(i, j);
    glTexCoord2f(i / 44.0f + shift, j / 44.0f + shift);
    glVertex3f(point[0], point[1], point[2]);
}
}  // namespace

void draw_shifted_grid_mesh(const float* grid, float shift) {
    for (int i = 0; i < GridSide - 1; ++i)
        for (int j = 0; j < GridSide - 1; ++j) {
            glBegin(GL_QUADS);
                corner(grid, i, j, shift);
                corner(grid, i, j + 1, shift);
                corner(grid, i + 1, j + 1, shift);
                corner(grid, i + 1, j, shift);
            glEnd();
        }
}

void draw_grid_mesh(const float* grid) { draw_shifted_grid_mesh(grid, 0.0f); }

void set_bowl_heights(float* grid, double height) {
    // The 45 sines are the same for every bowl and every frame.
    static const auto sines = [] {
        std::array<double, GridSide> s{};
        for (int k = 0; k < GridSide; ++k) s[size_t(k)] = std::sin(0.0715 * k);
        return s;
    }();
    for (int i = 0; i < GridSide; ++i)
        for (int j = 0; j < GridSide; ++j)
            grid[grid_index(i, j) + 2] = float(height * sines[size_t(i)] * sines[size_t(j)]);
}

void draw_flat_quad(float halfWidth, float halfHeight, float shift) {
    glBegin(GL_QUADS);
        glTexCoord2f(shift, shift);               glVertex3f(-halfWidth, -halfHeight, 0.0f);
        glTexCoord2f(1.0f + shift, shift);        glVertex3f(halfWidth, -halfHeight, 0.0f);
        glTexCoord2f(1.0f + shift, 1.0f + shift); glVertex3f(halfWidth, halfHeight, 0.0f);
        glTexCoord2f(shift, 1.0f + shift);        glVertex3f(-halfWidth, halfHeight, 0.0f);
    glEnd();
}

void mirror_heights(float* buffer) {
    // Row and column 22 are the fold lines. For a symmetric table the four
    // quadrant rules all come to H(m(a), m(b)).
    for (int a = 0; a < GridSide; ++a)
        for (int b = 0; b < GridSide; ++b) {
            float z;
            if (a <= 21 && b <= 21)
                z = height_at(buffer, a, b);
            else if (a >= 22 && b >= 22)
                z = height_at(buffer, 44 - b, 44 - a);
            else if (a <= 21)
                z = height_at(buffer, 44 - b, a);
            else
                z = height_at(buffer, b, 44 - a);
            buffer[grid_index(a, b) + 2] = z;
        }
}

void fill_wall_heights(float* buffer, double phase, float sign) {
    for (int r = 0; r < HeightTableSide; ++r)
        for (int c = 0; c < HeightTableSide; ++c)
            height_at(buffer, r, c) = sign * float(std::sin(0.009 * r * c + phase + 30.0));
}

namespace {

double phase_of(RippleBox member, int n) { return member == RippleBox::Opening ? 0.01 * n : 0.1 * n; }

void place_box(RippleBox member, int n) {
    glLoadIdentity();
    if (member == RippleBox::Opening) {
        glTranslatef(4.0f, 0.0f, -14.0f);
        glRotatef(float(n), 0.0f, 1.0f, 1.0f);
    } else {
        const double swing = std::sin(0.007 * n);
        glTranslatef(0.0f, 0.0f, -17.0f);
        glTranslatef(float(swing + 0.04 - 0.6), -0.05f, float(10.9 * swing + 2.0));
        glRotatef(float(2 * n), 0.0f, 1.0f, 0.0f);
    }
}

// Walls 1 and 2 stand at x = -2 and +2 turned to face x, their heights along
// x; walls 3 and 4 at z = -2 and +2, their heights along z.
void draw_wall_mesh(const float* buffer, float x, float z) {
    glPushMatrix();
        glTranslatef(x, 0.0f, z);
        if (x != 0.0f) glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
        draw_grid_mesh(buffer);
    glPopMatrix();
}

void wall_heights(float* buffer, double phase, float sign) {
    fill_wall_heights(buffer, phase, sign);
    mirror_heights(buffer);
}

}  // namespace

// Opposite walls carry opposite heights, so the box swells and narrows symmetrically.
void draw_ripple_box(float* buffer, int n, RippleBox member) {
    const double phase = phase_of(member, n);
    wall_heights(buffer, phase, 1.0f);
    place_box(member, n);
    draw_wall_mesh(buffer, -2.0f, 0.0f);
    wall_heights(buffer, phase, -1.0f);
    draw_wall_mesh(buffer, 2.0f, 0.0f);
    wall_heights(buffer, phase, 1.0f);
    draw_wall_mesh(buffer, 0.0f, -2.0f);
    wall_heights(buffer, phase, -1.0f);
    draw_wall_mesh(buffer, 0.0f, 2.0f);
}
