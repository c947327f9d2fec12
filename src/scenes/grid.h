#pragma once
// Grid procedures shared by the grid scenes. A grid is 45 by 45 points of
// (x, y, z) floats, point (i, j) at float 135 i + 3 j (grid_index); i is the
// row, j the column.
//
// The HeightTable lives in the SharedBuffer right after its grid, from float
// 6075 on, rows 25 floats apart; rows and columns 0..22 are used, and it is
// rewritten before every read.

constexpr int HeightTableOffset = 6075;  // floats into the SharedBuffer
constexpr int HeightTableStride = 25;    // floats per row
constexpr int HeightTableSide = 23;      // rows and columns in use

inline float& height_at(float* buffer, int r, int c) {
    return buffer[HeightTableOffset + HeightTableStride * r + c];
}

// Point (i, j) at (i / 5 - 4.5, j / 5 - 4.5, 0): -4.5 to 4.3 in steps of 0.2.
void fill_flat_grid(float* grid);

// 44 by 44 quads, one glBegin/glEnd each, with the bound texture, current
// colour and modelview matrix. s follows the row i, t the column j, both 0 to 1.
void draw_grid_mesh(const float* grid);
// The same with `shift` added to both texture coordinates of every corner.
void draw_shifted_grid_mesh(const float* grid, float shift);

// z of every point = height sin(0.0715 i) sin(0.0715 j): 0 along row and column
// 0, `height` at the centre, and slightly past 0 along row and column 44, as
// 0.0715 * 44 lies just past pi. x and y are left alone.
void set_bowl_heights(float* grid, double height);

// One GL_QUADS primitive in the z = 0 plane from (-halfWidth, -halfHeight) to
// (halfWidth, halfHeight), counter-clockwise from the lower left, with texture
// coordinates (0, 0) to (1, 1) shifted by `shift` in both s and t.
void draw_flat_quad(float halfWidth, float halfHeight, float shift = 0.0f);

// z of all 2025 grid points from the HeightTable, mirrored fourfold about
// row and column 22: z(a, b) = H(m(a), m(b)), m(x) = x to 21, 44 - x from 22.
// x and y are left alone.
void mirror_heights(float* buffer);

// HeightTable entry (r, c) = sign * sin(0.009 r c + phase + 30), r, c in 0..22.
void fill_wall_heights(float* buffer, double phase, float sign);

// The two boxes of four rippling walls that the show draws.
enum class RippleBox {
    Opening,  // the rippling box scene: step n = f div 5, phase 0.01 n, tumbling about (0, 1, 1)
    Funnel,   // inside the funnel: step n = f div 2, phase 0.1 n, spinning and swinging in depth
};

// Fills the heights, places the box from the identity and draws its four
// walls with the bound texture and the current colour; n is the member's step.
void draw_ripple_box(float* buffer, int n, RippleBox member);
