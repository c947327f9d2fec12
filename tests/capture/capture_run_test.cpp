// The capture program end to end: solid-colour media under the show's names,
// one frame of each of the first three scenes, captured twice.
#include <gtest/gtest.h>

#include <algorithm>

#include "capture_program.h"
#include "textures/test_targa.h"

namespace {

TEST(Capture, SameRangeTwiceGivesTheSameFramesAndEachSceneShows) {
    const std::string dir = ::testing::TempDir() + "capture_run_test";
    ASSERT_EQ(std::system(("rm -rf " + dir + " && mkdir -p " + dir + "/media").c_str()), 0);
    struct File { const char* name; uint8_t r, g, b; };
    for (const File& f : {File{"myvelvet.tga", 0, 0, 160}, File{"lights.tga", 200, 100, 0},
                          File{"envi.tga", 0, 120, 0}, File{"zu.tga", 90, 0, 90}, File{"sight.tga", 0, 0, 200},
                          File{"flog.tga", 60, 60, 60}})
        ASSERT_TRUE(write_bytes(dir + "/media/" + f.name, solid_targa(8, 8, 24, f.r, f.g, f.b)));
    // In sanitizer builds leaks are not counted: the show drops the first backdrop's
    // pixel block when its start-up runs again, and the GL driver keeps memory at exit.
    // The first run names its folders relative to where it starts.
    const std::string capture = std::string("ASAN_OPTIONS=detect_leaks=0 ") + CAPTURE_PROGRAM + " --fps 2 --at 5,22,40";
    ASSERT_EQ(std::system(("cd " + dir + " && " + capture + " --out first --media media >/dev/null").c_str()), 0);
    ASSERT_EQ(std::system((capture + " --out " + dir + "/second --media " + dir + "/media >/dev/null").c_str()), 0);

    // Seconds 5, 22, 40 at 2 frames a second: the rippling box over the blue
    // backdrop, the collage sheet, the funnel's green behind the sheets.
    struct Expect { const char* name; int channel, atLeast; };
    for (const Expect& e : {Expect{"frame_000010.png", 2, 159}, Expect{"frame_000044.png", -1, 1},
                            Expect{"frame_000080.png", 1, 119}}) {
        SCOPED_TRACE(e.name);
        const std::string first = dir + "/first/" + e.name;
        EXPECT_TRUE(file_text(first) == file_text(dir + "/second/" + e.name));
        int width = 0, height = 0;
        const std::vector<uint8_t> rgb = read_png_rgb(first, &width, &height);
        ASSERT_EQ(rgb.size(), 800u * 600 * 3);
        size_t meeting = 0;
        for (size_t at = 0; at < rgb.size(); at += 3) {
            const int brightest = std::max({rgb[at], rgb[at + 1], rgb[at + 2]});
            meeting += (e.channel < 0 ? brightest : rgb[at + e.channel]) >= e.atLeast;
        }
        EXPECT_GT(meeting, 800u * 600u * 97 / 100);
    }
}

}  // namespace
