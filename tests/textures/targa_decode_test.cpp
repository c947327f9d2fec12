// The Targa decode alone: what it accepts, and what each refusal leaves in the record.
#include <gtest/gtest.h>

#include <utility>

#include "textures/targa.h"
#include "textures/test_targa.h"

namespace {

enum class Left { Nothing, Size, SizeAndDepth };  // what a refusal has written

struct Refusal {
    const char* name;
    std::vector<std::pair<size_t, uint8_t>> bytes;  // changed in a valid 2 by 2, 24-bit file
    size_t keep;                                    // bytes kept; 0: all
    Left left;
};

TEST(TargaDecode, EachRefusalLeavesTheRecordAsPromised) {
    const Refusal cases[] = {
        {"run-length", {{2, 10}}, 0, Left::Nothing},   {"colour-mapped", {{1, 1}, {2, 1}}, 0, Left::Nothing},
        {"grey", {{2, 3}}, 0, Left::Nothing},          {"image ID", {{0, 4}}, 0, Left::Nothing},
        {"x origin", {{8, 1}}, 0, Left::Nothing},      {"y origin", {{11, 1}}, 0, Left::Nothing},
        {"short header", {}, 17, Left::Nothing},       {"16-bit", {{16, 16}}, 0, Left::Size},
        {"zero width", {{12, 0}}, 0, Left::Size},      {"zero height", {{14, 0}}, 0, Left::Size},
        // 65535 x 65535 x 4 bytes does not fit 32 bits.
        {"over 32 bits", {{12, 255}, {13, 255}, {14, 255}, {15, 255}, {16, 32}}, 0, Left::Size},
        {"truncated pixels", {}, 29, Left::SizeAndDepth},
        // 30000 x 30000 x 3 fits 32 bits but not the file: refused before allocating.
        {"beyond the file", {{12, 0x30}, {13, 0x75}, {14, 0x30}, {15, 0x75}}, 0, Left::SizeAndDepth},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> file = solid_targa(2, 2, 24, 1, 2, 3);
        for (const auto& [at, value] : c.bytes) file[at] = value;
        if (c.keep) file.resize(c.keep);
        unsigned char earlierPixels[1];
        TargaTexture record = {earlierPixels, 7, 7, 7, 7};
        EXPECT_FALSE(decode_targa(file.data(), file.size(), &record));
        const bool sized = c.left != Left::Nothing, depthed = c.left == Left::SizeAndDepth;
        EXPECT_EQ(record.width, sized ? uint32_t(file[12] | file[13] << 8) : 7u);
        EXPECT_EQ(record.height, sized ? uint32_t(file[14] | file[15] << 8) : 7u);
        EXPECT_EQ(record.bitsPerPixel, depthed ? 24u : 7u);
        EXPECT_EQ(record.pixels, depthed ? nullptr : earlierPixels);
        EXPECT_EQ(record.glName, 7u);
    }
}

TEST(TargaDecode, SwapsBlueAndRedKeepsAlphaIgnoresDescriptorAndTail) {
    for (uint8_t depth : {24, 32}) {
        std::vector<uint8_t> file = solid_targa(2, 1, depth, 0xC0, 0x80, 0x42, 0x11);  // stored 42 80 C0
        file[17] = 0x20;                     // top-down: not looked at
        file.insert(file.end(), {9, 9, 9});  // after the pixel block: not looked at
        TargaTexture record = {nullptr, 0, 0, 0, 5};
        ASSERT_TRUE(decode_targa(file.data(), file.size(), &record));
        std::vector<uint8_t> expected = {0xC0, 0x80, 0x42, 0x11, 0xC0, 0x80, 0x42, 0x11};
        if (depth == 24) expected = {0xC0, 0x80, 0x42, 0xC0, 0x80, 0x42};
        EXPECT_EQ(std::vector<uint8_t>(record.pixels, record.pixels + expected.size()), expected);
        EXPECT_EQ(record.width * 10 + record.height, 21u);
        EXPECT_EQ(record.bitsPerPixel, depth);
        EXPECT_EQ(record.glName, 5u);
        delete[] record.pixels;
    }
}

}  // namespace
