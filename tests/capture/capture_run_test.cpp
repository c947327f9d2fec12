// The capture program end to end: solid-colour media under the show's names,
// one frame of each of the first three scenes, captured twice.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include "capture_program.h"
#include "textures/test_targa.h"
#include "timeline/media_table.h"

namespace {

// An X server of the test's own: where one is there, a box the show opens
// would wait for a person.
class XServer {
public:
    XServer() {
        const std::string displayFile = ::testing::TempDir() + "xvfb_display";
        const std::string pidFile = ::testing::TempDir() + "xvfb_pid";
        std::system(("rm -f " + displayFile + " && (Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>" +
                     displayFile + " >/dev/null 2>&1 & echo $! >" + pidFile + ")").c_str());
        pid_ = std::atoi(file_text(pidFile).c_str());
        for (int tenth = 0; tenth < 100 && file_text(displayFile).empty(); ++tenth) usleep(100000);
        const std::string number = file_text(displayFile);
        if (!number.empty()) display_ = ":" + number.substr(0, number.find('\n'));
    }
    ~XServer() {
        if (pid_ > 0) kill(pid_, SIGTERM);
    }
    const std::string& display() const { return display_; }  // empty when none started

private:
    int pid_ = 0;
    std::string display_;
};

TEST(Capture, SameRangeTwiceGivesTheSameFramesEachSceneShowsAndMissingMeshesAreToldOnStderr) {
    const std::string dir = ::testing::TempDir() + "capture_run_test";
    ASSERT_EQ(std::system(("rm -rf " + dir + " && mkdir -p " + dir + "/media").c_str()), 0);
    struct File { TextureIndex index; uint8_t r, g, b; };
    for (const File& f : {File{TexMyvelvet, 0, 0, 160}, File{TexLights, 200, 100, 0},
                          File{TexEnvi, 0, 120, 0}, File{TexZu, 90, 0, 90}, File{TexSight, 0, 0, 200},
                          File{TexFlog, 60, 60, 60}})
        ASSERT_TRUE(write_bytes(dir + "/media/" + texture_file(f.index), solid_targa(8, 8, 24, f.r, f.g, f.b)));
    // The first run names its folders relative to where it starts, with an X
    // server there: the missing meshes are told on stderr, and it goes on
    // (a box would wait, and the time limit end it).
    XServer server;
    ASSERT_FALSE(server.display().empty()) << "no Xvfb";
    const std::string at = " --fps 2 --at 5,22,40";
    const std::string underX = "cd " + dir + " && DISPLAY=" + server.display() + " timeout -s KILL 120 env";
    const CaptureRun first = run_capture("--out first --media media" + at, underX);
    ASSERT_EQ(first.status, 0) << first.err;
    std::string told;
    for (const char* mesh : {"yeah", "aru", "magic", "orey", "shob"})
        told += std::string("Error\nUnable to find the file: ") + mesh + ".3ds!\n";
    EXPECT_EQ(first.err.substr(0, told.size()), told);
    ASSERT_EQ(run_capture("--out " + dir + "/second --media " + dir + "/media" + at).status, 0);

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
