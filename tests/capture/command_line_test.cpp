// The capture program refuses bad input before it renders anything: one line
// on standard error, exit code 2, nothing written. --help lists every option.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "capture_options.h"
#include "capture_program.h"

namespace {

TEST(CaptureCommandLine, BadInputGetsOneLineExitCodeTwoAndNoFile) {
    const std::string dir = fresh_dir("command_line_test");
    ASSERT_EQ(std::system(("touch " + dir + "/plain").c_str()), 0);
    const std::string media = " --media " SHOW_MEDIA_DIR;
    const std::string video = " --video " + dir + "/v.mp4", audio = " --audio " + dir + "/a.wav";
    struct Case { std::string prefix, args, says; };
    const Case cases[] = {
        {"", "--frobnicate 3" + audio, "unknown option --frobnicate"},
        {"", "--fps 0" + video, "--fps"},
        {"", "--fps sixty" + video, "--fps"},
        {"", "--every 0 --out " + dir + "/f", "--every"},
        {"", "--from 226" + audio, "--from"},
        {"", "--to -1" + audio, "--to"},
        {"", "--from 30 --to 20" + video, "--to lies before --from"},
        {"", "--at 5 --out " + dir + "/plain/frames" + media, "cannot make"},
        {"", "--audio /dev/null/a.wav" + media, "cannot write /dev/null/a.wav"},
        {"", "--sheet " + dir + " --at 5" + media, "it is a folder"},
        {"", audio + " --media " + dir + "/nowhere", "no media folder"},
        {"PATH=/nonexistent", video + media, "ffmpeg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const CaptureRun run = run_capture(c.args, c.prefix);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.rfind("capture: ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(dir_entries(dir), std::set<std::string>{"plain"});
    }
}

// Every option the usage lists is one the parser knows, and each says its default.
TEST(CaptureCommandLine, HelpListsEveryOptionWithItsDefault) {
    const CaptureRun run = run_capture("--fps 0 --help");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.empty()) << run.err;
    std::set<std::string> listed;
    std::stringstream lines(run.out);
    std::string line, pending;
    const std::regex option(R"(^  (--[a-z]+))");
    for (std::string text; std::getline(lines, text);) {
        std::smatch m;
        if (std::regex_search(text, m, option)) pending = m[1];
        if (!pending.empty() && (text.find("default") != std::string::npos || pending == "--help")) {
            listed.insert(pending);
            pending.clear();
        }
    }
    EXPECT_TRUE(pending.empty()) << pending << " has no default";
    const std::set<std::string> all = {"--fps",   "--at",     "--every",  "--from",  "--to",
                                       "--out",   "--sheet",  "--audio",  "--video", "--preset",
                                       "--scale", "--size",   "--media",  "--help"};
    EXPECT_EQ(listed, all) << run.out;
    for (const std::string& name : all) {
        CaptureOptions options;
        std::string error;
        parse_capture_options({name}, &options, &error);
        EXPECT_EQ(error.find("unknown"), std::string::npos) << name;
    }
}

}  // namespace
