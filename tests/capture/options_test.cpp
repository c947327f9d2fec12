// The capture tool's command line: which frames it chooses, what it refuses.
#include <gtest/gtest.h>

#include "capture_options.h"

namespace {

TEST(CaptureOptions, ChoosesFramesAndRefusesWhatItCannotCapture) {
    struct Case { std::vector<std::string> args; std::set<int64_t> frames; };  // no frames: refused
    const Case cases[] = {
        {{"--out", "d", "--at", "5,22,40"}, {300, 1320, 2400}},
        {{"--fps", "2", "--at", "0.5,225.9", "--out", "d"}, {1, 451}},  // the last frame before second 226
        {{"--every", "30", "--from", "1", "--to", "2", "--out", "d"}, {60, 90, 120}},
        {{"--fps", "1", "--every", "100", "--out", "d"}, {0, 100, 200}},
        {{"--at", "5"}, {}},                                             // no --out
        {{"--out", "d"}, {}},                                            // nothing chosen
        {{"--out", "d", "--at", "226"}, {}},                             // the show has ended
        {{"--out", "d", "--at", "5,,6"}, {}},
        {{"--out", "d", "--at", "5", "--fps", "0"}, {}},
        {{"--out", "d", "--at", "5", "--from", "3"}, {}},                // a range without --every
        {{"--out", "d", "--every", "2", "--from", "9", "--to", "3"}, {}},
        {{"--out", "d", "--at"}, {}},
    };
    for (const Case& c : cases) {
        CaptureOptions options;
        std::string error;
        const bool parsed = parse_capture_options(c.args, &options, &error);
        EXPECT_EQ(parsed, !c.frames.empty()) << c.args[0] << " " << c.args[1] << ": " << error;
        if (parsed) {
            EXPECT_EQ(options.frames, c.frames) << c.args[1];
        }
    }
}

}  // namespace
