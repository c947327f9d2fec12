// inspect-media: the report of a mesh and of a bitmap, and the --rgb rows.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "inspect.h"
#include "platform/byte_reader.h"
#include "tests/models/file_writers.h"

namespace {

using namespace writers;

// Runs the inspector and returns its report.
std::string report(const std::string& file, const char* rgbFile, int* exitCode) {
    FILE* out = std::tmpfile();
    *exitCode = inspect_media(file.c_str(), rgbFile, out);
    std::string text(size_t(std::ftell(out)), '\0');
    std::rewind(out);
    text.resize(std::fread(&text[0], 1, text.size(), out));
    std::fclose(out);
    return text;
}

TEST(InspectMedia, MeshMaterialsAndObjects) {
    std::string file = testing::TempDir() + "inspect.3ds";
    ASSERT_TRUE(write_file(file, mesh_file({material("Skin", "skin.bmp", colour24(200, 100, 50)),
                                            object("Box", {points({0, 0, 0, 1, 0, 0, 0, 1, 0}), tex_verts({0, 0, 1, 0, 0, 1}),
                                                           faces({0, 1, 2}, {mat_group("Skin")})}),
                                            object("Lost", {faces({0, 1, 2}, {mat_group("Gone")})})})));
    int code = -1;
    EXPECT_EQ(report(file, nullptr, &code),
              file + ": 3D Studio mesh, 1 materials, 2 objects\n"
                     "material 0 \"Skin\": map \"skin.bmp\", colour 200 100 50\n"
                     "object 0 \"Box\": 3 vertices, 1 faces, 3 texture coordinates, material 0 \"Skin\", textured\n"
                     "object 1 \"Lost\": 0 vertices, 0 faces, 0 texture coordinates, material -1 (no match), untextured\n");
    EXPECT_EQ(code, 0);
}

TEST(InspectMedia, BitmapSizeDepthAndRgbRows) {
    std::string file = testing::TempDir() + "inspect.bmp", rgb = testing::TempDir() + "inspect.rgb";
    Bitmap b;
    b.width = 2, b.height = -2, b.bits = 24;  // stored top row first
    b.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    ASSERT_TRUE(write_file(file, bmp(b)));
    int code = -1;
    EXPECT_EQ(report(file, rgb.c_str(), &code),
              file + ": 40-byte header, uncompressed, 0 colour-table entries, rows stored top-down\n"
                     "bitmap, 2 x 2, 24 bits per pixel\n"
                     "wrote 12 bytes of R, G, B rows, bottom row first, to " + rgb + "\n");
    EXPECT_EQ(code, 0);
    std::vector<uint8_t> rows;
    ASSERT_TRUE(read_file_bytes(rgb.c_str(), &rows));
    EXPECT_EQ(rows, (Bytes{9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}));
}

TEST(InspectMedia, TargaSizeDepthAndRgbRowsWithoutAlpha) {
    std::string file = testing::TempDir() + "inspect.tga", rgb = testing::TempDir() + "inspect-tga.rgb";
    // 2 x 1, 32 bits: B G R A per pixel after the 18-byte header.
    Bytes header{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 32, 8};
    ASSERT_TRUE(write_file(file, cat({header, Bytes{0x42, 0x80, 0xC0, 0xFF, 1, 2, 3, 4}})));
    int code = -1;
    EXPECT_EQ(report(file, rgb.c_str(), &code),
              file + ": Targa image, 2 x 1, 32 bits per pixel\n"
                     "wrote 6 bytes of R, G, B rows, bottom row first, to " + rgb + "\n");
    EXPECT_EQ(code, 0);
    std::vector<uint8_t> rows;
    ASSERT_TRUE(read_file_bytes(rgb.c_str(), &rows));
    EXPECT_EQ(rows, (Bytes{0xC0, 0x80, 0x42, 3, 2, 1}));

    std::string refused = testing::TempDir() + "rle.tga";
    header[2] = 10;  // run-length encoded
    ASSERT_TRUE(write_file(refused, cat({header, Bytes(8, 0)})));
    EXPECT_EQ(report(refused, nullptr, &code), refused + ": Targa image, refused\n");
    EXPECT_EQ(code, 1);
}

TEST(InspectMedia, RefusedAndUnknownFiles) {
    std::string bad = testing::TempDir() + "bad.bmp", text = testing::TempDir() + "notes.txt";
    ASSERT_TRUE(write_file(bad, cat({Bytes{'B', 'M'}, Bytes(12, 0), u32(108), Bytes(104, 0)})));
    ASSERT_TRUE(write_file(text, cstr("just words")));
    int code = -1;
    EXPECT_EQ(report(bad, nullptr, &code), bad + ": bitmap, refused\n");
    EXPECT_EQ(code, 1);
    EXPECT_EQ(report(text, nullptr, &code), text + ": no reader of the show takes this file\n");
    EXPECT_EQ(code, 2);
}

}  // namespace
