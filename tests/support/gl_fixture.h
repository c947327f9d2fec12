#pragma once
// One offscreen 800 by 600 GL context shared by every GL test of a program.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

class GlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    // The frame buffer as R, G, B, A rows, bottom row first.
    static std::vector<uint8_t> read_pixels(int x = 0, int y = 0, int width = 800, int height = 600);
};
