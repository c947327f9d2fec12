// The grid procedures without OpenGL: the flat grid and the mirrored ripple heights.
#include <gtest/gtest.h>

#include <vector>

#include "scenes/grid.h"
#include "timeline/scene_context.h"

namespace {

TEST(Grid, FlatGridCornersAndCentre) {
    std::vector<float> grid(GridFloats, 99.0f);
    fill_flat_grid(grid.data());
    struct Point { int i, j; float x, y; };
    for (const Point& p : {Point{0, 0, -4.5f, -4.5f}, Point{44, 44, 4.3f, 4.3f}, Point{0, 44, -4.5f, 4.3f},
                           Point{22, 22, -0.1f, -0.1f}}) {
        EXPECT_NEAR(grid[grid_index(p.i, p.j)], p.x, 1e-5) << p.i << "," << p.j;
        EXPECT_NEAR(grid[grid_index(p.i, p.j) + 1], p.y, 1e-5) << p.i << "," << p.j;
        EXPECT_EQ(grid[grid_index(p.i, p.j) + 2], 0.0f);
    }
}

TEST(Grid, RippleHeightsMirrorFourfoldAndOppositeWallsFlipSign) {
    std::vector<float> wall1(SharedBufferFloats), wall2(SharedBufferFloats), flat(GridFloats);
    fill_flat_grid(flat.data());
    for (auto* wall : {&wall1, &wall2}) fill_flat_grid(wall->data());
    auto z = [](const std::vector<float>& g, int a, int b) { return g[grid_index(a, b) + 2]; };
    fill_wall_heights(wall1.data(), 0.0, 1.0f);
    mirror_heights(wall1.data());
    EXPECT_NEAR(z(wall1, 22, 22), 0.200158f, 1e-5);  // sin(4.356 + 30)
    for (int k = 0; k < GridSide; ++k) EXPECT_NEAR(z(wall1, 0, k), -0.988032f, 1e-5) << k;  // sin(30)
    fill_wall_heights(wall1.data(), 0.37, 1.0f);
    mirror_heights(wall1.data());
    fill_wall_heights(wall2.data(), 0.37, -1.0f);
    mirror_heights(wall2.data());
    for (int a = 0; a < GridSide; ++a)
        for (int b = 0; b < GridSide; ++b) {
            const float h = z(wall1, a, b);
            ASSERT_TRUE(h == z(wall1, 44 - a, b) && h == z(wall1, a, 44 - b) && h == z(wall1, 44 - a, 44 - b))
                << a << "," << b;
            ASSERT_EQ(z(wall2, a, b), -h) << a << "," << b;
            ASSERT_EQ(wall1[grid_index(a, b)], flat[grid_index(a, b)]);  // x and y left alone
        }
}

TEST(Grid, MirrorReadsEachQuadrantsOwnEntry) {
    // A table that is not symmetric, so each quadrant's rule shows.
    std::vector<float> buffer(SharedBufferFloats, 0.0f);
    for (int r = 0; r < HeightTableSide; ++r)
        for (int c = 0; c < HeightTableSide; ++c) height_at(buffer.data(), r, c) = float(100 * r + c);
    mirror_heights(buffer.data());
    struct Case { int a, b; float z; };
    for (const Case& c : {Case{3, 5, 305}, Case{22, 22, 2222}, Case{30, 40, 414}, Case{2, 30, 1402},
                          Case{30, 2, 214}})
        EXPECT_EQ(buffer[grid_index(c.a, c.b) + 2], c.z) << c.a << "," << c.b;
}

}  // namespace
