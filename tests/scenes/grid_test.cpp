// The grid procedures: flat grids, mirrored ripple heights, and the mesh as
// OpenGL receives it (read back through feedback mode).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "scene_fixture.h"
#include "scenes/grid.h"

namespace {

struct Point { int i, j; float x, y; };

TEST(FlatGrid, CornersAndCentre) {
    std::vector<float> grid(GridFloats, 99.0f);
    fill_flat_grid(grid.data());
    for (const Point& p : {Point{0, 0, -4.5f, -4.5f}, Point{44, 44, 4.3f, 4.3f}, Point{0, 44, -4.5f, 4.3f},
                           Point{44, 0, 4.3f, -4.5f}, Point{22, 22, -0.1f, -0.1f}, Point{1, 2, -4.3f, -4.1f}}) {
        const float* at = &grid[grid_index(p.i, p.j)];
        EXPECT_NEAR(at[0], p.x, 1e-5) << p.i << "," << p.j;
        EXPECT_NEAR(at[1], p.y, 1e-5) << p.i << "," << p.j;
        EXPECT_EQ(at[2], 0.0f);
    }
}

float z_at(const std::vector<float>& buffer, int a, int b) { return buffer[grid_index(a, b) + 2]; }

TEST(RippleHeights, OuterRowsCentreAndPhase) {
    std::vector<float> buffer(SharedBufferFloats, 99.0f);
    struct Case { double phase; float sign; float centre; };
    for (const Case& c : {Case{0.0, 1.0f, 0.200158f}, Case{0.0, -1.0f, -0.200158f}, Case{0.01, 1.0f, 0.190351f},
                          Case{0.1, 1.0f, 0.101345f}}) {
        fill_wall_heights(buffer.data(), c.phase, c.sign);
        mirror_heights(buffer.data());
        EXPECT_NEAR(z_at(buffer, 22, 22), c.centre, 1e-5) << c.phase;
        if (c.phase == 0.0)
            for (int k = 0; k < GridSide; ++k) {
                // sin(30) on every outer row and column.
                EXPECT_NEAR(z_at(buffer, 0, k), c.sign * -0.988032f, 1e-5) << k;
                EXPECT_NEAR(z_at(buffer, k, 44), c.sign * -0.988032f, 1e-5) << k;
            }
    }
}

TEST(RippleHeights, FourfoldMirrorAndOppositeWalls) {
    std::vector<float> wall1(SharedBufferFloats), wall2(SharedBufferFloats);
    fill_flat_grid(wall1.data());
    fill_flat_grid(wall2.data());
    fill_wall_heights(wall1.data(), 0.37, 1.0f);
    mirror_heights(wall1.data());
    fill_wall_heights(wall2.data(), 0.37, -1.0f);
    mirror_heights(wall2.data());
    std::vector<float> flat(GridFloats);
    fill_flat_grid(flat.data());
    for (int a = 0; a < GridSide; ++a)
        for (int b = 0; b < GridSide; ++b) {
            const float z = z_at(wall1, a, b);
            ASSERT_EQ(z, z_at(wall1, 44 - a, b)) << a << "," << b;
            ASSERT_EQ(z, z_at(wall1, a, 44 - b)) << a << "," << b;
            ASSERT_EQ(z, z_at(wall1, 44 - a, 44 - b)) << a << "," << b;
            ASSERT_EQ(z_at(wall2, a, b), -z) << a << "," << b;
            // x and y are left alone.
            ASSERT_EQ(wall1[grid_index(a, b)], flat[grid_index(a, b)]);
            ASSERT_EQ(wall1[grid_index(a, b) + 1], flat[grid_index(a, b) + 1]);
        }
}

TEST(MirrorHeights, EachQuadrantReadsItsOwnEntry) {
    // A table that is not symmetric, so every quadrant's rule shows.
    std::vector<float> buffer(SharedBufferFloats, 0.0f);
    for (int r = 0; r < HeightTableSide; ++r)
        for (int c = 0; c < HeightTableSide; ++c) height_at(buffer.data(), r, c) = float(100 * r + c);
    mirror_heights(buffer.data());
    struct Case { int a, b; float z; };
    for (const Case& c : {Case{3, 5, 305}, Case{21, 21, 2121}, Case{22, 22, 2222}, Case{30, 40, 414},
                          Case{2, 30, 1402}, Case{30, 2, 214}, Case{44, 0, 0}, Case{0, 44, 0}}) {
        EXPECT_EQ(z_at(buffer, c.a, c.b), c.z) << c.a << "," << c.b;
    }
}

// The grid mesh through feedback: window positions and texture coordinates of
// the vertices OpenGL received. Drivers may hand a quad back as two triangles,
// so the corners of each cell are gathered as a set.
struct FedVertex { float x, y, s, t; };

class GridMesh : public SceneTest {
protected:
    // The vertices of each of the 1936 cells, in drawing order of the cells.
    std::vector<std::vector<FedVertex>> feed(const std::vector<float>& grid, float shift) {
        std::vector<GLfloat> buffer(44 * 44 * 80);
        glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        // Identity projection; x and y scaled by 0.2 so every point lies in the view.
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glScalef(0.2f, 0.2f, 0.01f);
        if (shift == 0.0f)
            draw_grid_mesh(grid.data());
        else
            draw_shifted_grid_mesh(grid.data(), shift);
        const GLint used = glRenderMode(GL_RENDER);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        EXPECT_GT(used, 0);
        std::vector<std::vector<FedVertex>> polygons;
        for (GLint at = 0; at < used;) {
            EXPECT_EQ(buffer[at], GLfloat(GL_POLYGON_TOKEN));
            const int count = int(buffer[at + 1]);
            at += 2;
            std::vector<FedVertex> polygon;
            for (int k = 0; k < count; ++k, at += 11)  // x y z, r g b a, s t r q
                polygon.push_back({buffer[at], buffer[at + 1], buffer[at + 7], buffer[at + 8]});
            polygons.push_back(polygon);
        }
        // One polygon per cell, or two triangles per cell.
        std::vector<std::vector<FedVertex>> cells;
        const size_t perCell = polygons.size() / (44 * 44);
        EXPECT_TRUE(perCell * 44 * 44 == polygons.size() && perCell >= 1) << polygons.size();
        for (size_t p = 0; p < polygons.size(); ++p) {
            if (p % perCell == 0) cells.emplace_back();
            cells.back().insert(cells.back().end(), polygons[p].begin(), polygons[p].end());
        }
        return cells;
    }
    // Whether grid point (i, j) reached OpenGL with texture coordinate (s, t).
    static bool has_corner(const std::vector<FedVertex>& cell, const std::vector<float>& grid, int i, int j,
                           float s, float t) {
        const float x = (0.2f * grid[grid_index(i, j)] + 1.0f) * 400.0f;
        const float y = (0.2f * grid[grid_index(i, j) + 1] + 1.0f) * 300.0f;
        for (const FedVertex& v : cell)
            if (std::fabs(v.x - x) < 0.01f && std::fabs(v.y - y) < 0.01f && std::fabs(v.s - s) < 1e-6f &&
                std::fabs(v.t - t) < 1e-6f)
                return true;
        return false;
    }
};

TEST_F(GridMesh, EveryCellCarriesItsFourPointsWithTextureZeroToOne) {
    std::vector<float> grid(GridFloats);
    fill_flat_grid(grid.data());
    const auto cells = feed(grid, 0.0f);
    ASSERT_EQ(cells.size(), 44u * 44u);
    float lowest = 1.0f, highest = 0.0f;
    for (int i = 0; i < 44; ++i)
        for (int j = 0; j < 44; ++j) {
            const auto& cell = cells[44 * i + j];  // rows outer, columns inner
            for (int di = 0; di < 2; ++di)
                for (int dj = 0; dj < 2; ++dj)
                    ASSERT_TRUE(has_corner(cell, grid, i + di, j + dj, (i + di) / 44.0f, (j + dj) / 44.0f))
                        << "cell " << i << "," << j << " corner " << di << dj;
            for (const FedVertex& v : cell) {
                lowest = std::fmin(lowest, std::fmin(v.s, v.t));
                highest = std::fmax(highest, std::fmax(v.s, v.t));
            }
        }
    EXPECT_EQ(lowest, 0.0f);
    EXPECT_EQ(highest, 1.0f);
}

TEST_F(GridMesh, ShiftMovesBothTextureCoordinatesOfEveryCorner) {
    std::vector<float> grid(GridFloats);
    fill_flat_grid(grid.data());
    const auto cells = feed(grid, 1.0f);
    ASSERT_EQ(cells.size(), 44u * 44u);
    for (int i = 0; i < 44; ++i)
        for (int j = 0; j < 44; ++j)
            for (int di = 0; di < 2; ++di)
                for (int dj = 0; dj < 2; ++dj)
                    ASSERT_TRUE(has_corner(cells[44 * i + j], grid, i + di, j + dj, (i + di) / 44.0f + 1.0f,
                                           (j + dj) / 44.0f + 1.0f))
                        << "cell " << i << "," << j;
}

}  // namespace
