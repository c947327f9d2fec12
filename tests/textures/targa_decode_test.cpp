// The Targa decode alone: what it accepts, and what each refusal leaves in the record.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "textures/targa.h"
#include "textures/test_targa.h"

namespace {

// A 2 by 2 file of four distinct pixels.
std::vector<uint8_t> valid_file(uint8_t depth) {
    std::vector<uint8_t> pixels;
    for (uint8_t k = 0; k < 4; ++k) {
        pixels.insert(pixels.end(), {uint8_t(0x42 + k), 0x80, uint8_t(0xC0 + k)});
        if (depth == 32) pixels.push_back(uint8_t(0x10 + k));
    }
    return targa_file(2, 2, depth, pixels);
}

// What a refusal has written into a record that held earlier values.
enum class Left { Nothing, Size, SizeAndDepth };

struct Refusal {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> spoil;  // applied to the valid 24-bit file
    Left left;
    uint32_t width, height;  // when the size was written
};

void PrintTo(const Refusal& refusal, std::ostream* os) { *os << refusal.name; }

const uint32_t Earlier = 7;

class RefusedFile : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusedFile, LeavesTheRecordAsTheLoaderPromises) {
    std::vector<uint8_t> file = valid_file(24);
    GetParam().spoil(file);
    unsigned char earlierPixels[1];
    TargaTexture record = {earlierPixels, Earlier, Earlier, Earlier, Earlier};
    EXPECT_FALSE(decode_targa(file.data(), file.size(), &record));
    const Left left = GetParam().left;
    EXPECT_EQ(record.width, left == Left::Nothing ? Earlier : GetParam().width);
    EXPECT_EQ(record.height, left == Left::Nothing ? Earlier : GetParam().height);
    EXPECT_EQ(record.bitsPerPixel, left == Left::SizeAndDepth ? 24u : Earlier);
    EXPECT_EQ(record.pixels, left == Left::SizeAndDepth ? nullptr : earlierPixels);
    EXPECT_EQ(record.glName, Earlier);
}

void set_byte(std::vector<uint8_t>& file, size_t at, uint8_t value) { file[at] = value; }

INSTANTIATE_TEST_SUITE_P(
    Targa, RefusedFile,
    ::testing::Values(
        Refusal{"RunLengthEncoded", [](auto& f) { set_byte(f, 2, 10); }, Left::Nothing, 0, 0},
        Refusal{"ColourMapped", [](auto& f) { set_byte(f, 1, 1); set_byte(f, 2, 1); }, Left::Nothing, 0, 0},
        Refusal{"Grey", [](auto& f) { set_byte(f, 2, 3); }, Left::Nothing, 0, 0},
        Refusal{"ImageId", [](auto& f) { set_byte(f, 0, 4); }, Left::Nothing, 0, 0},
        Refusal{"ColourMapFields", [](auto& f) { set_byte(f, 5, 1); }, Left::Nothing, 0, 0},
        Refusal{"XOrigin", [](auto& f) { set_byte(f, 8, 1); }, Left::Nothing, 0, 0},
        Refusal{"YOrigin", [](auto& f) { set_byte(f, 11, 1); }, Left::Nothing, 0, 0},
        Refusal{"ShortBlock", [](auto& f) { f.resize(11); }, Left::Nothing, 0, 0},
        Refusal{"ShortHeader", [](auto& f) { f.resize(17); }, Left::Nothing, 0, 0},
        Refusal{"SixteenBits", [](auto& f) { set_byte(f, 16, 16); }, Left::Size, 2, 2},
        Refusal{"EightBits", [](auto& f) { set_byte(f, 16, 8); }, Left::Size, 2, 2},
        Refusal{"ZeroWidth", [](auto& f) { set_byte(f, 12, 0); }, Left::Size, 0, 2},
        Refusal{"ZeroHeight", [](auto& f) { set_byte(f, 14, 0); }, Left::Size, 2, 0},
        // 65535 x 65535 x 4 bytes does not fit 32 bits; 3 bytes would not either.
        Refusal{"ByteCountOver32Bits",
                [](auto& f) { f[12] = f[13] = f[14] = f[15] = 0xFF; f[16] = 32; }, Left::Size, 65535, 65535},
        Refusal{"ByteCountOver32BitsAt24",
                [](auto& f) { f[12] = f[13] = f[14] = f[15] = 0xFF; }, Left::Size, 65535, 65535},
        Refusal{"TruncatedPixels", [](auto& f) { f.pop_back(); }, Left::SizeAndDepth, 2, 2},
        Refusal{"NoPixels", [](auto& f) { f.resize(18); }, Left::SizeAndDepth, 2, 2},
        // 30000 x 30000 x 3 fits 32 bits but lies far beyond the 12 bytes present:
        // refused before anything is allocated.
        Refusal{"SizeBeyondTheFile",
                [](auto& f) { f[12] = 0x30; f[13] = 0x75; f[14] = 0x30; f[15] = 0x75; }, Left::SizeAndDepth,
                30000, 30000}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

struct Accepted {
    uint8_t depth;
    std::vector<uint8_t> rgba;  // the decoded block
};

void PrintTo(const Accepted& accepted, std::ostream* os) { *os << int(accepted.depth) << " bits"; }

class AcceptedFile : public ::testing::TestWithParam<Accepted> {};

TEST_P(AcceptedFile, SwapsBlueAndRedAndKeepsAlpha) {
    std::vector<uint8_t> file = valid_file(GetParam().depth);
    file.insert(file.end(), {1, 2, 3});  // bytes after the pixel block are not looked at
    file[17] = 0x20;                     // top-down descriptor: ignored
    TargaTexture record = {nullptr, 0, 0, 0, 5};
    ASSERT_TRUE(decode_targa(file.data(), file.size(), &record));
    EXPECT_EQ(record.width, 2u);
    EXPECT_EQ(record.height, 2u);
    EXPECT_EQ(record.bitsPerPixel, GetParam().depth);
    EXPECT_EQ(record.glName, 5u);
    ASSERT_NE(record.pixels, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(record.pixels, record.pixels + GetParam().rgba.size()), GetParam().rgba);
    delete[] record.pixels;
}

INSTANTIATE_TEST_SUITE_P(
    Targa, AcceptedFile,
    ::testing::Values(Accepted{24, {0xC0, 0x80, 0x42, 0xC1, 0x80, 0x43, 0xC2, 0x80, 0x44, 0xC3, 0x80, 0x45}},
                      Accepted{32, {0xC0, 0x80, 0x42, 0x10, 0xC1, 0x80, 0x43, 0x11, 0xC2, 0x80, 0x44, 0x12,
                                    0xC3, 0x80, 0x45, 0x13}}),
    [](const ::testing::TestParamInfo<Accepted>& info) { return "Depth" + std::to_string(info.param.depth); });

}  // namespace
