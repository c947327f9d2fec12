// The capture tool's command line: which frames it chooses, what it refuses.
#include <gtest/gtest.h>

#include "capture_options.h"

namespace {

TEST(CaptureOptions, ChoosesFramesAndRangesAndRefusesWhatItCannotCapture) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
        std::set<int64_t> frames;
        int64_t first = 0, last = 13559;  // the range of --audio and --video
    };
    const Case cases[] = {
        {{"--out", "d", "--at", "5,22,40"}, true, {300, 1320, 2400}},
        {{"--fps", "2", "--at", "0.5,225.9", "--sheet", "s"}, true, {1, 451}, 0, 451},  // the last frame before 226
        {{"--every", "30", "--from", "1", "--to", "2", "--out", "d"}, true, {60, 90, 120}, 60, 120},
        {{"--fps", "1", "--every", "100", "--out", "d"}, true, {0, 100, 200}, 0, 225},
        {{"--video", "v.mp4"}, true, {}},                                        // the whole show
        {{"--fps", "10", "--from", "30", "--to", "31", "--audio", "a.wav"}, true, {}, 300, 310},
        {{"--fps", "3", "--from", "0.1", "--to", "0.9", "--video", "v"}, true, {}, 1, 2},
        {{"--at", "5"}, false, {}},                                              // chosen, but for nothing
        {{"--at", "5", "--video", "v"}, false, {}},
        {{"--out", "d"}, false, {}},                                             // nothing chosen
        {{"--fps", "1", "--from", "0.2", "--to", "0.8", "--video", "v"}, false, {}},  // no frame between
        {{"--out", "d", "--at", "226"}, false, {}},                              // the show has ended
        {{"--out", "d", "--at", "5,,6"}, false, {}},
        {{"--out", "d", "--at", "5", "--from", "3"}, false, {}},                 // a range for nothing
        {{"--video", "v", "--from", "9", "--to", "3"}, false, {}},
        {{"--video", "v", "--from", "-1"}, false, {}},
        {{"--video", "v", "--preset", "turbo"}, false, {}},
        {{"--video", "v", "--fps", "1e3"}, false, {}},
        {{"--video", "v", "--sheet"}, false, {}},
        {{"--video", "v", "stray"}, false, {}},
        {{"--sheet", "s", "--every", "1", "--to", "20"}, false, {}},             // 1201 frames on one sheet
    };
    for (const Case& c : cases) {
        CaptureOptions options;
        std::string error;
        std::string line;
        for (const std::string& a : c.args) line += a + " ";
        SCOPED_TRACE(line);
        ASSERT_EQ(parse_capture_options(c.args, &options, &error), c.ok) << error;
        if (!c.ok) {
            EXPECT_EQ(error.find('\n'), std::string::npos);
            continue;
        }
        EXPECT_EQ(options.frames, c.frames);
        EXPECT_EQ(options.rangeFirst, c.first);
        EXPECT_EQ(options.rangeLast, c.last);
    }
}

// The scale every output is drawn at, and the sizes it is fitted into.
TEST(CaptureOptions, DrawsAtTheScaleThatCoversTheOutputAndRefusesSizesItCannotMake) {
    struct Case {
        std::vector<std::string> size;
        int scale;  // 0: refused
    };
    const Case cases[] = {
        {{}, 1},
        {{"--scale", "3"}, 3},
        {{"--size", "1920x1080"}, 2},              // a 1440x1080 picture
        {{"--size", "2560x1440"}, 3},
        {{"--size", "3840x2160"}, 4},
        {{"--size", "800x600"}, 1},
        {{"--size", "1920x1080", "--scale", "1"}, 1},  // asked: filtered up, not down
        {{"--scale", "0"}, 0}, {{"--scale", "5"}, 0}, {{"--scale", "x"}, 0},
        {{"--size", "10x10"}, 0}, {{"--size", "1920"}, 0}, {{"--size", "1921x1080"}, 0},
        {{"--size", "x1080"}, 0}, {{"--size", "7682x4320"}, 0},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--video", "v.mp4"};
        args.insert(args.end(), c.size.begin(), c.size.end());
        SCOPED_TRACE(args.back());
        CaptureOptions options;
        std::string error;
        ASSERT_EQ(parse_capture_options(args, &options, &error), c.scale != 0) << error;
        if (c.scale) {
            EXPECT_EQ(render_scale_for(options), c.scale);
        }
    }
}

}  // namespace
