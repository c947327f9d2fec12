// The show's command line as a person types it: the program run with each
// line, good and bad, where no display can be opened. A bad line is refused
// before anything opens, with one line saying which option and why, the usage
// line, exit code 2; a good one gets as far as the display (exit code 1 and
// the line that says there is none), or prints its help.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ShowRun {
    int status;
    std::vector<std::string> out, err;  // lines
};

std::vector<std::string> lines_of(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

ShowRun run_show(const std::string& args) {
    const std::string out = ::testing::TempDir() + "show_out", err = ::testing::TempDir() + "show_err";
    const std::string command = "timeout -s KILL 60 env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " SHOW_PROGRAM " " + args + " >" +
                                out + " 2>" + err;
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, lines_of(out), lines_of(err)};
}

TEST(ShowCommandLine, EachLineGetsItsExitCodeAndItsOneLine) {
    struct Row {
        const char* args;
        int status;
        const char* says;  // the start of the first line on stderr; for --help, of stdout
    };
    const Row rows[] = {
        {"--help", 0, "usage: show [--window]"},
        {"--window --stats --max-fps 144 --help", 0, "usage: show "},
        {"", 1, "show: no display could be opened"},
        {"--window --max-fps 144 --stats", 1, "show: no display could be opened"},
        {"--scaled --render-scale auto --max-fps auto --frame-counted --loop", 1, "show: no display could be opened"},
        {"--fullscreen --render-scale 4 --max-fps 0", 1, "show: no display could be opened"},
        {"--bogus", 2, "show: unknown option --bogus"},
        {"-w", 2, "show: unknown option -w"},
        {"window", 2, "show: unexpected argument window"},
        {"--max-fps", 2, "show: --max-fps needs a value: N"},
        {"--render-scale", 2, "show: --render-scale needs a value"},
        {"--render-scale 0", 2, "show: --render-scale 0: not auto or a whole number from 1 to 4"},
        {"--render-scale 5", 2, "show: --render-scale 5: not auto"},
        {"--render-scale x", 2, "show: --render-scale x: not auto"},
        {"--max-fps abc", 2, "show: --max-fps abc: not auto or a whole number from 0 to 1000"},
        {"--max-fps -1", 2, "show: --max-fps -1: not auto or a whole number"},
        {"--max-fps 1001", 2, "show: --max-fps 1001: not auto or a whole number"},
        {"--max-fps 60x", 2, "show: --max-fps 60x: not auto or a whole number"},
        {"--stats --max-fps 2.5", 2, "show: --max-fps 2.5: not auto or a whole number"},
        {"--frame-counted 2", 2, "show: unexpected argument 2"},
        {"--window --fullscreen", 2, "show: --fullscreen: --window and --fullscreen answer the question two ways"},
        {"--scaled --window", 2, "show: --window: --scaled and --window answer the question two ways"},
        {"--fullscreen --scaled", 2, "show: --scaled: --fullscreen and --scaled answer the question two ways"},
        {"--help --bogus", 2, "show: unknown option --bogus"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("show ") + row.args);
        const ShowRun run = run_show(row.args);
        EXPECT_EQ(run.status, row.status);
        const std::vector<std::string>& said = row.status == 0 ? run.out : run.err;
        ASSERT_FALSE(said.empty());
        EXPECT_EQ(said[0].rfind(row.says, 0), 0u) << said[0];
        if (row.status == 2) {
            EXPECT_TRUE(run.out.empty());
            ASSERT_EQ(run.err.size(), 2u);
            EXPECT_EQ(run.err[1].rfind("usage: show ", 0), 0u) << run.err[1];
        }
        if (row.status == 1) {
            EXPECT_EQ(run.err.size(), 1u) << "one line";
        }
        if (row.status == 0) {
            EXPECT_TRUE(run.err.empty());
        }
    }
}

// --help gives every option a line of its own with its default, and the
// usage line names each of them.
TEST(ShowCommandLine, HelpListsEveryOptionWithItsDefault) {
    const ShowRun run = run_show("--help");
    ASSERT_EQ(run.status, 0);
    int options = 0;
    for (const std::string& line : run.out) {
        if (line.rfind("  --", 0) != 0) continue;
        ++options;
        const std::string name = line.substr(2, line.find(' ', 2) - 2);
        EXPECT_NE(run.out[0].find("[" + name), std::string::npos) << name << " is not in the usage line";
        if (name != "--help") {
            EXPECT_NE(line.find("(default"), std::string::npos) << line;
        }
    }
    EXPECT_EQ(options, 9);
}

}  // namespace
