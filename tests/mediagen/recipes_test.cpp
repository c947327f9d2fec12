// The generator's writers and recipes: what the files must hold for the
// show's readers and scenes, checked on the records before they are written.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "bmp.h"
#include "font.h"
#include "models.h"
#include "targa.h"
#include "texture_ops.h"

namespace {

TEST(Rle8, EncodesRunsAndAbsoluteStretches) {
    struct Case {
        const char* what;
        std::vector<uint8_t> row, encoded;
    };
    const Case cases[] = {
        {"one run", {5, 5, 5, 5}, {4, 5}},
        {"odd absolute stretch, padded", {1, 2, 3}, {0, 3, 1, 2, 3, 0}},
        {"even absolute stretch", {1, 2, 3, 4}, {0, 4, 1, 2, 3, 4}},
        {"two singles too short for absolute mode", {1, 2}, {1, 1, 1, 2}},
        {"stretch then run", {1, 2, 3, 9, 9, 9}, {0, 3, 1, 2, 3, 0, 3, 9}},
        {"run then pair", {4, 4, 4, 6, 7}, {3, 4, 1, 6, 1, 7}},
        {"pair before a run", {8, 8, 4, 4, 4}, {1, 8, 1, 8, 3, 4}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(encode_rle8_row(c.row.data(), int(c.row.size())), c.encoded) << c.what;
    std::vector<uint8_t> long_run(300, 7);
    EXPECT_EQ(encode_rle8_row(long_run.data(), 300), (std::vector<uint8_t>{255, 7, 45, 7})) << "runs split at 255";
}

TEST(Targa, WritesTheAcceptedHeaderAndBottomRowFirst) {
    // 1 x 2: red on top, blue below; then 32 bits keeps alpha.
    std::vector<uint8_t> tga = write_targa({255, 0, 0, 0, 0, 255}, 1, 2, 24);
    const std::vector<uint8_t> header = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 0, 24, 0};
    EXPECT_EQ(std::vector<uint8_t>(tga.begin(), tga.begin() + 18), header);
    EXPECT_EQ(std::vector<uint8_t>(tga.begin() + 18, tga.end()), (std::vector<uint8_t>{255, 0, 0, 0, 0, 255}))
        << "blue row (B, G, R) first, then red";
    std::vector<uint8_t> tga32 = write_targa({0x42, 0x80, 0xC0, 0x11}, 1, 1, 32);
    EXPECT_EQ(tga32[16], 32);
    EXPECT_EQ(tga32[17], 8) << "eight alpha bits, bottom-left origin";
    EXPECT_EQ(std::vector<uint8_t>(tga32.begin() + 18, tga32.end()), (std::vector<uint8_t>{0xC0, 0x80, 0x42, 0x11}));
}

TEST(Bmp, OddWidthsPadRowsAndPackNibblesHighFirst) {
    // 3 x 2 pictures, top row indices 1 2 3, bottom row 4 5 6.
    const std::vector<Rgb8> palette(16, Rgb8{0, 0, 0});
    const std::vector<uint8_t> indices = {1, 2, 3, 4, 5, 6};
    struct Case {
        BmpEncoding encoding;
        uint32_t header, offset;
        std::vector<uint8_t> pixels;  // bottom row first
    };
    const Case cases[] = {
        {BmpEncoding::Indexed4, 40, 14 + 40 + 16 * 4, {0x45, 0x60, 0, 0, 0x12, 0x30, 0, 0}},
        {BmpEncoding::Indexed8, 40, 14 + 40 + 16 * 4, {4, 5, 6, 0, 1, 2, 3, 0}},
        {BmpEncoding::Core8, 12, 14 + 12 + 256 * 3, {4, 5, 6, 0, 1, 2, 3, 0}},
        {BmpEncoding::Rle8, 40, 14 + 40 + 16 * 4, {0, 3, 4, 5, 6, 0, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}},
    };
    auto u32 = [](const std::vector<uint8_t>& b, size_t at) {
        return uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24);
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b = write_bmp_indexed(palette, indices, 3, 2, c.encoding);
        SCOPED_TRACE(int(c.encoding));
        EXPECT_EQ(u32(b, 2), b.size()) << "file size";
        EXPECT_EQ(u32(b, 10), c.offset) << "pixel offset";
        EXPECT_EQ(u32(b, 14), c.header);
        EXPECT_EQ(std::vector<uint8_t>(b.begin() + c.offset, b.end()), c.pixels);
        if (c.header == 40) {
            EXPECT_EQ(u32(b, 34), c.pixels.size()) << "image size";
        }
    }
}

TEST(TextureOps, PeriodicFunctionsWrapWithoutASeam) {
    for (float u : {0.0f, 0.137f, 0.5f, 0.91f})
        for (float v : {0.0f, 0.33f, 0.77f}) {
            EXPECT_NEAR(noise(u * 4 + 4, v * 4, 4, 9), noise(u * 4, v * 4, 4, 9), 1e-5f);
            EXPECT_NEAR(noise(u * 4, v * 4 + 8, 4, 9), noise(u * 4, v * 4, 4, 9), 1e-5f);
            EXPECT_NEAR(fbm(u + 1, v, 3, 5, 0.5f, 9), fbm(u, v, 3, 5, 0.5f, 9), 1e-5f);
            EXPECT_NEAR(cells(u + 1, v - 1, 7, 9).first, cells(u, v, 7, 9).first, 1e-4f);
        }
    EXPECT_NEAR(wrap_delta(0.95f - 0.05f), -0.1f, 1e-6f) << "shortest way across the edge";
}

TEST(MeshBuilding, ClosedSurfacesHaveNoDegenerateFacesAndTheirVolume) {
    Mesh s = sphere({0, 0, 0}, 2.0f, 32, 16);
    for (const auto& f : s.faces) {
        EXPECT_NE(s.points[f[0]], s.points[f[1]]);
        EXPECT_NE(s.points[f[1]], s.points[f[2]]);
        EXPECT_NE(s.points[f[0]], s.points[f[2]]);
    }
    const double ball = 4.0 / 3.0 * 3.14159265 * 8;
    EXPECT_NEAR(std::fabs(signed_volume(s)), ball, ball * 0.05);
    Mesh t = tube([](float a) { return Vec{5 * std::cos(6.2831853f * a), 0, 5 * std::sin(6.2831853f * a)}; }, 1,
                  64, 16);
    orient_outwards(t);
    const double torus = 2 * 3.14159265 * 3.14159265 * 5;
    EXPECT_NEAR(signed_volume(t), torus, torus * 0.05);
}

TEST(Font, CaptionTextsHaveGlyphs) {
    for (std::string text : {"SOUL", "LIGHT IN MOTION", "ZU"})
        for (char c : text) {
            if (c == ' ') continue;
            const unsigned char* rows = glyph_rows(c);
            int dots = 0;
            for (int r = 0; r < 7; ++r) dots += rows[r] != 0;
            EXPECT_GT(dots, 0) << "no glyph for '" << c << "'";
        }
}

class MeshRecipe : public ::testing::TestWithParam<ModelRecipe> {};

// The scenes draw what follows a mesh with the texturing its last object
// leaves, and compute normals from the winding: both must be right.
TEST_P(MeshRecipe, EndsTexturedWithOutwardFacesInReaderLimits) {
    const TdsScene scene = GetParam().build();
    std::set<std::string> textured, materials;
    for (const TdsMaterial& m : scene.materials) {
        materials.insert(m.name);
        if (!m.map.empty()) textured.insert(m.name);
    }
    ASSERT_FALSE(scene.objects.empty());
    EXPECT_EQ(scene.objects.back().kind, TdsKind::Mesh);
    EXPECT_EQ(textured.count(scene.objects.back().material), 1u) << "last object must be textured";
    bool light_or_camera = false;
    for (const TdsObject& o : scene.objects) {
        if (o.kind != TdsKind::Mesh) { light_or_camera = true; continue; }
        SCOPED_TRACE(o.name);
        EXPECT_EQ(materials.count(o.material), 1u);
        EXPECT_LT(o.mesh.points.size(), 65536u);
        EXPECT_EQ(o.mesh.uvs.size(), o.mesh.points.size());
        for (const auto& f : o.mesh.faces)
            for (uint16_t v : f) ASSERT_LT(v, o.mesh.points.size());
        Mesh centred = o.mesh;
        Bounds b;
        for (const Vec& p : centred.points) b.include(p);
        translate(centred, {-(b.min[0] + b.max[0]) / 2, -(b.min[1] + b.max[1]) / 2, -(b.min[2] + b.max[2]) / 2});
        EXPECT_GT(signed_volume(centred), 0.0) << "faces wind inwards";
    }
    EXPECT_TRUE(light_or_camera);
    size_t triangles = scene_triangles(scene);
    EXPECT_GE(triangles, 2000u);
    EXPECT_LE(triangles, 20000u);
}

INSTANTIATE_TEST_SUITE_P(Meshes, MeshRecipe, ::testing::ValuesIn(model_recipes()),
                         [](const auto& info) { std::string name = model_file(info.param.slot);
                             return name.substr(0, name.find('.')); });

TEST(MeshRecipes, SomeObjectIsDrawnInItsMaterialColour) {
    int untextured = 0;
    for (const ModelRecipe& r : model_recipes()) {
        TdsScene s = r.build();
        for (const TdsObject& o : s.objects)
            for (const TdsMaterial& m : s.materials)
                if (o.kind == TdsKind::Mesh && m.name == o.material && m.map.empty()) ++untextured;
    }
    EXPECT_GE(untextured, 1);
}

}  // namespace
