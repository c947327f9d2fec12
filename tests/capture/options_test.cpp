// The capture tool's command line: which frames it chooses, what it refuses.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "capture_options.h"

namespace {

struct Chosen {
    std::vector<std::string> args;
    int fps;
    std::set<int64_t> frames;
};

TEST(CaptureOptions, ChoosesTheFramesOfTheGivenSeconds) {
    const Chosen cases[] = {
        {{"--out", "d", "--at", "5,22,40"}, 60, {300, 1320, 2400}},
        {{"--fps", "2", "--at", "0.5,225.9", "--out", "d"}, 2, {1, 451}},  // 225.9 clipped to the last frame
        {{"--fps", "25", "--at", "0,0.03", "--out", "d"}, 25, {0, 1}},
        {{"--every", "30", "--from", "1", "--to", "2", "--out", "d"}, 60, {60, 90, 120}},
        {{"--fps", "1", "--every", "100", "--out", "d"}, 1, {0, 100, 200}},  // up to second 225
        {{"--fps", "10", "--every", "5", "--from", "3", "--to", "4", "--at", "3.2", "--out", "d"}, 10,
         {30, 32, 35, 40}},
    };
    for (const Chosen& c : cases) {
        CaptureOptions options;
        std::string error;
        ASSERT_TRUE(parse_capture_options(c.args, &options, &error)) << error;
        EXPECT_EQ(options.fps, c.fps);
        EXPECT_EQ(options.frames, c.frames) << c.args[1];
        EXPECT_EQ(options.outDir, "d");
        EXPECT_EQ(options.mediaDir, ".");
    }
}

TEST(CaptureOptions, MediaFolderIsTaken) {
    CaptureOptions options;
    std::string error;
    ASSERT_TRUE(parse_capture_options({"--media", "m", "--out", "o", "--at", "1"}, &options, &error));
    EXPECT_EQ(options.mediaDir, "m");
}

TEST(CaptureOptions, RefusesWhatItCannotCapture) {
    const std::vector<std::vector<std::string>> cases = {
        {"--at", "5"},                                   // no --out
        {"--out", "d"},                                  // no frames
        {"--out", "d", "--at", "226"},                   // past the end of the show
        {"--out", "d", "--at", "-1"},
        {"--out", "d", "--at", "5,,6"},
        {"--out", "d", "--at", "five"},
        {"--out", "d", "--at", "5", "--fps", "0"},
        {"--out", "d", "--at", "5", "--fps", "2.5"},
        {"--out", "d", "--every", "0"},
        {"--out", "d", "--at", "5", "--from", "3"},      // a range without --every
        {"--out", "d", "--every", "2", "--from", "9", "--to", "3"},
        {"--out", "d", "--at"},                          // missing value
        {"--out", "d", "--at", "5", "--sound", "on"},
    };
    for (const auto& args : cases) {
        CaptureOptions options;
        std::string error;
        std::string joined;
        for (const std::string& a : args) joined += a + " ";
        EXPECT_FALSE(parse_capture_options(args, &options, &error)) << joined;
        EXPECT_FALSE(error.empty()) << joined;
    }
}

}  // namespace
