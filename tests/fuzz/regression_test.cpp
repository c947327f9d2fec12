// Every input a fuzz target once crashed on, replayed through its decoder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/invariants.h"
#include "platform/platform.h"
#include "textures/targa.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::vector<uint8_t>> inputs(const char* reader) {
    std::vector<std::vector<uint8_t>> out;
    fs::path dir = fs::path(FUZZ_REGRESSIONS) / reader;
    EXPECT_TRUE(fs::is_directory(dir)) << dir;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
        if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
        std::ifstream file(entry.path(), std::ios::binary);
        out.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return out;
}

TEST(FuzzRegressions, MeshInputsGiveSoundModels) {
    platform::RecordingMessageSink sink;
    platform::set_message_sink(&sink);
    for (const std::vector<uint8_t>& bytes : inputs("3ds")) {
        ModelLoader loader;
        Model model;
        import_3ds_bytes(loader, model, bytes.data(), bytes.size(), "regression.3ds");
        EXPECT_EQ(model_fault(model), "");
    }
    platform::set_message_sink(nullptr);
}

TEST(FuzzRegressions, BitmapInputsGiveSoundPictures) {
    for (const std::vector<uint8_t>& bytes : inputs("dib")) {
        RgbImage image{};
        DibResult result = decode_dib(bytes.data(), bytes.size(), &image);
        EXPECT_EQ(image_fault(result, image), "");
    }
}

TEST(FuzzRegressions, TargaInputsDecodeWithinTheirBytes) {
    for (const std::vector<uint8_t>& bytes : inputs("tga")) {
        TargaTexture record{};
        if (!decode_targa(bytes.data(), bytes.size(), &record)) continue;
        EXPECT_TRUE(record.bitsPerPixel == 24 || record.bitsPerPixel == 32);
        EXPECT_LE(uint64_t(record.width) * record.height * (record.bitsPerPixel / 8), bytes.size() - 18);
        delete[] record.pixels;
    }
}

}  // namespace
