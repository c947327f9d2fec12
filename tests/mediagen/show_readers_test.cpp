// The generated media through the show's own readers: every picture decodes to
// what the generator drew, every mesh imports with the counts, bounds and maps
// it was written with, and no reader has anything to complain about.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "byte_writer.h"
#include "media.h"
#include "models/dib_reader.h"
#include "models/model.h"
#include "platform/byte_reader.h"
#include "platform/platform.h"
#include "textures/targa.h"

namespace {

// Rows bottom row first (as both readers give them) turned top row first.
std::vector<uint8_t> top_row_first(const uint8_t* pixels, size_t width, size_t height, size_t bytesPerPixel) {
    std::vector<uint8_t> out(width * height * bytesPerPixel);
    const size_t row = width * bytesPerPixel;
    for (size_t y = 0; y < height; ++y) std::copy_n(pixels + (height - 1 - y) * row, row, out.data() + y * row);
    return out;
}

std::string hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08x", v);
    return buf;
}

class ShowReaders : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = ::testing::TempDir() + "show_readers_media";
        std::filesystem::create_directories(folder);
        std::string error;
        ASSERT_TRUE(generate_media(folder, &manifest, &error)) << error;
    }
    static std::vector<uint8_t> bytes_of(const std::string& name) {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(read_file_bytes((folder + "/" + name).c_str(), &bytes)) << name;
        return bytes;
    }
    static std::vector<std::vector<std::string>> lines(const std::string& kind) {
        std::vector<std::vector<std::string>> out;
        for (const std::string& line : manifest) {
            std::istringstream in(line);
            std::vector<std::string> words;
            for (std::string w; in >> w;) words.push_back(w);
            if (!words.empty() && words[0] == kind) out.push_back(words);
        }
        return out;
    }
    static std::string folder;
    static std::vector<std::string> manifest;
};
std::string ShowReaders::folder;
std::vector<std::string> ShowReaders::manifest;

TEST_F(ShowReaders, EveryPictureDecodesToWhatWasDrawn) {
    platform::RecordingMessageSink boxes;
    platform::set_message_sink(&boxes);
    int targas = 0, bitmaps = 0;
    for (const auto& w : lines("image")) {
        const std::string& name = w[1];
        const uint32_t width = uint32_t(std::stoul(w[2])), height = uint32_t(std::stoul(w[3]));
        std::vector<uint8_t> bytes = bytes_of(name);
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tga") == 0) {
            TargaTexture record{};
            ASSERT_TRUE(decode_targa(bytes.data(), bytes.size(), &record)) << name;
            std::unique_ptr<unsigned char[]> owned(record.pixels);
            EXPECT_EQ(record.width, width) << name;
            EXPECT_EQ(record.height, height) << name;
            EXPECT_EQ(record.bitsPerPixel, w[4] == "RGBA" ? 32u : 24u) << name;
            EXPECT_EQ(hex(crc32_of(top_row_first(record.pixels, width, height, record.bitsPerPixel / 8))), w[5]) << name;
            ++targas;
        } else {
            std::unique_ptr<RgbImage> image = load_dib_image((folder + "/" + name).c_str());
            ASSERT_TRUE(image) << name;
            EXPECT_EQ(uint32_t(image->width), width) << name;
            EXPECT_EQ(uint32_t(image->height), height) << name;
            EXPECT_EQ(hex(crc32_of(top_row_first(image->pixels.data(), width, height, 3))), w[5]) << name;
            ++bitmaps;
        }
    }
    platform::set_message_sink(nullptr);
    EXPECT_EQ(targas, 18);
    EXPECT_EQ(bitmaps, 5);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;
}

TEST_F(ShowReaders, EveryMeshImportsWithItsCountsBoundsAndMaps) {
    platform::RecordingMessageSink boxes;
    platform::set_message_sink(&boxes);
    int meshes = 0;
    for (const auto& w : lines("mesh")) {
        const std::string& name = w[1];
        std::vector<uint8_t> bytes = bytes_of(name);
        ModelLoader loader;
        Model model;
        ASSERT_TRUE(import_3ds_bytes(loader, model, bytes.data(), bytes.size(), name.c_str())) << name;
        EXPECT_EQ(model.objectCount, std::stoi(w[2])) << name;
        EXPECT_EQ(model.materialCount, std::stoi(w[3])) << name;

        int triangles = 0;
        float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
        for (const ModelObject& o : model.objects) {
            triangles += o.faceCount;
            for (const Vec3& v : o.vertices) {
                const float c[3] = {v.x, v.y, v.z};
                for (int i = 0; i < 3; ++i) lo[i] = std::min(lo[i], c[i]), hi[i] = std::max(hi[i], c[i]);
            }
            if (o.hasTexture) {
                EXPECT_EQ(o.texCoordCount, o.vertexCount) << name << " " << o.name;
            }
        }
        EXPECT_EQ(triangles, std::stoi(w[4])) << name;
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(lo[i], std::stod(w[6 + size_t(i)]), 0.006) << name << " axis " << i;
            EXPECT_NEAR(hi[i], std::stod(w[9 + size_t(i)]), 0.006) << name << " axis " << i;
        }
        // What follows the mesh is drawn with the texturing its last object leaves.
        ASSERT_FALSE(model.objects.empty());
        EXPECT_TRUE(model.objects.back().hasTexture) << name;
        std::vector<std::string> maps;
        for (const ModelMaterial& m : model.materials)
            if (m.textureFile[0]) maps.push_back(m.textureFile);
        EXPECT_EQ(maps, std::vector<std::string>(w.begin() + 12, w.end())) << name;
        ++meshes;
    }
    platform::set_message_sink(nullptr);
    EXPECT_EQ(meshes, 5);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;
}

}  // namespace
