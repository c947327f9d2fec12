// The scaled full screen's arithmetic: where the 800 by 600 picture goes on
// the screens people have, and on odd ones.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/letterbox.h"

namespace {

using platform::letterbox;
using platform::PictureRect;

TEST(Letterbox, LargestCentredRectangleOfThePicturesShape) {
    struct Case {
        const char* screen;
        int width, height;       // the window
        int pictureWidth, pictureHeight;
        PictureRect expected;
    };
    const Case cases[] = {
        {"16:9", 1920, 1080, 800, 600, {240, 0, 1440, 1080}},
        {"16:9 small", 1280, 720, 800, 600, {160, 0, 960, 720}},
        {"16:10", 1920, 1200, 800, 600, {160, 0, 1600, 1200}},
        {"4:3 at its own size", 800, 600, 800, 600, {0, 0, 800, 600}},
        {"4:3 larger", 1024, 768, 800, 600, {0, 0, 1024, 768}},
        {"21:9", 2560, 1080, 800, 600, {560, 0, 1440, 1080}},
        {"21:9 wide", 3440, 1440, 800, 600, {760, 0, 1920, 1440}},
        {"5:4", 1280, 1024, 800, 600, {0, 32, 1280, 960}},
        {"portrait 9:16", 1080, 1920, 800, 600, {0, 555, 1080, 810}},
        {"portrait tablet", 768, 1024, 800, 600, {0, 224, 768, 576}},
        // 1366 by 768: 1024 wide, 342 left over, 171 each side.
        {"odd 1366x768", 1366, 768, 800, 600, {171, 0, 1024, 768}},
        // 767 * 4 / 3 = 1022.67 rounds up; 342 left over.
        {"odd 1365x767", 1365, 767, 800, 600, {171, 0, 1023, 767}},
        // 7 left over: 3 on the left, 4 on the right.
        {"odd leftover", 1031, 768, 800, 600, {3, 0, 1024, 768}},
        // 801 / 601 is a hair narrower than 4:3; 601.25 rounds to the full height.
        {"a pixel over", 801, 601, 800, 600, {0, 0, 801, 601}},
        {"one pixel", 1, 1, 800, 600, {0, 0, 1, 1}},
        {"a 16:9 picture on 4:3", 1024, 768, 1280, 720, {0, 96, 1024, 576}},
        {"no window", 0, 0, 800, 600, {0, 0, 0, 0}},
        {"negative size", -1920, 1080, 800, 600, {0, 0, 0, 0}},
        {"no picture", 1920, 1080, 0, 600, {0, 0, 0, 0}},
        {"under half a pixel", 2, 1, 1000, 1, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const PictureRect got = letterbox(c.width, c.height, c.pictureWidth, c.pictureHeight);
        EXPECT_EQ(got.x, c.expected.x) << c.screen;
        EXPECT_EQ(got.y, c.expected.y) << c.screen;
        EXPECT_EQ(got.width, c.expected.width) << c.screen;
        EXPECT_EQ(got.height, c.expected.height) << c.screen;
        if (got.width == 0) continue;
        // Inside the window, touching two opposite sides, centred to the pixel.
        EXPECT_TRUE(got.x >= 0 && got.y >= 0 && got.x + got.width <= c.width && got.y + got.height <= c.height)
            << c.screen;
        EXPECT_TRUE(got.width == c.width || got.height == c.height) << c.screen;
        const int right = c.width - got.x - got.width, top = c.height - got.y - got.height;
        EXPECT_TRUE(right - got.x == 0 || right - got.x == 1) << c.screen;
        EXPECT_TRUE(top - got.y == 0 || top - got.y == 1) << c.screen;
        // The shape kept to within the rounding of one side: half a pixel of the other.
        const long long error = std::llabs(
            static_cast<long long>(got.width) * c.pictureHeight - static_cast<long long>(got.height) * c.pictureWidth);
        EXPECT_LE(2 * error, static_cast<long long>(got.width == c.width ? c.pictureWidth : c.pictureHeight))
            << c.screen;
    }
}

}  // namespace
