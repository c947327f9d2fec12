// The show's command line as a person types it, where no display can be
// opened: a bad line is refused before anything opens with one line saying
// which option and why, the usage line and exit code 2; a good one gets as far
// as the display (exit code 1, one line saying there is none), or prints its
// help, where every option has a line with its default.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> lines_of(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

bool starts(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

TEST(ShowCommandLine, EachLineGetsItsExitCodeAndItsOneLine) {
    struct Row {
        const char* args;
        int status;
        const char* says;  // the start of the first line on stderr; with 0, of stdout
    };
    const Row rows[] = {
        {"--help", 0, "usage: show [--window]"},
        {"--window --stats --max-fps 144 --help", 0, "usage: show "},
        {"", 1, "show: no display could be opened"},
        {"--scaled --render-scale auto --max-fps auto --frame-counted --loop --stats", 1, "show: no display"},
        {"--fullscreen --render-scale 4 --max-fps 0", 1, "show: no display could be opened"},
        {"--bogus", 2, "show: unknown option --bogus"},
        {"-w", 2, "show: unknown option -w"},
        {"window", 2, "show: unexpected argument window"},
        {"--frame-counted 2", 2, "show: unexpected argument 2"},
        {"--help --bogus", 2, "show: unknown option --bogus"},
        {"--max-fps", 2, "show: --max-fps needs a value: N"},
        {"--render-scale", 2, "show: --render-scale needs a value"},
        {"--render-scale 0", 2, "show: --render-scale 0: not auto or a whole number from 1 to 4"},
        {"--render-scale 5", 2, "show: --render-scale 5: not auto"},
        {"--render-scale x", 2, "show: --render-scale x: not auto"},
        {"--max-fps abc", 2, "show: --max-fps abc: not auto or a whole number from 0 to 1000"},
        {"--max-fps -1", 2, "show: --max-fps -1: not auto or a whole number"},
        {"--max-fps 1001", 2, "show: --max-fps 1001: not auto or a whole number"},
        {"--stats --max-fps 2.5", 2, "show: --max-fps 2.5: not auto or a whole number"},
        {"--window --fullscreen", 2, "show: --fullscreen: --window and --fullscreen answer the question two ways"},
        {"--scaled --window", 2, "show: --window: --scaled and --window answer the question two ways"},
        {"--fullscreen --scaled", 2, "show: --scaled: --fullscreen and --scaled answer the question two ways"},
    };
    const std::string out = ::testing::TempDir() + "show_out", err = ::testing::TempDir() + "show_err";
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("show ") + row.args);
        const int status = std::system(("timeout -s KILL 60 env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " +
                                        std::string(SHOW_PROGRAM) + " " + row.args + " >" + out + " 2>" + err)
                                           .c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), row.status);
        const std::vector<std::string> stdout_lines = lines_of(out), stderr_lines = lines_of(err);
        const std::vector<std::string>& said = row.status == 0 ? stdout_lines : stderr_lines;
        ASSERT_FALSE(said.empty());
        EXPECT_TRUE(starts(said[0], row.says)) << said[0];
        EXPECT_EQ(stderr_lines.size(), size_t(row.status));  // none, the one line, or it and the usage line
        if (row.status == 2) {
            EXPECT_TRUE(stdout_lines.empty());
            EXPECT_TRUE(starts(stderr_lines[1], "usage: show ")) << stderr_lines[1];
        }
        int options = 0;
        for (const std::string& line : row.status == 0 ? stdout_lines : std::vector<std::string>{}) {
            if (!starts(line, "  --")) continue;
            ++options;
            const std::string name = line.substr(2, line.find(' ', 2) - 2);
            EXPECT_NE(said[0].find("[" + name), std::string::npos) << name << " is not in the usage line";
            EXPECT_TRUE(name == "--help" || line.find("(default") != std::string::npos) << line;
        }
        EXPECT_EQ(options, row.status == 0 ? 9 : 0);
    }
}

}  // namespace
