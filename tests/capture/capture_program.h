#pragma once
// The capture program run as a user runs it, and what it leaves behind.
#include <dirent.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

struct CaptureRun {
    int status = -1;  // exit code; 128 + n when ended by signal n
    std::string out, err;
};

inline std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// `prefix` runs in the shell before the program (variables, ulimit).
inline CaptureRun run_capture(const std::string& args, const std::string& prefix = "") {
    const std::string out = ::testing::TempDir() + "capture_stdout.txt";
    const std::string err = ::testing::TempDir() + "capture_stderr.txt";
    // In sanitizer builds the GL driver's memory kept at exit is not a leak of ours.
    const std::string command = prefix + " ASAN_OPTIONS=detect_leaks=0 " CAPTURE_PROGRAM " " + args + " >" + out +
                                " 2>" + err;
    const int raw = std::system(command.c_str());
    CaptureRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    run.out = file_text(out);
    run.err = file_text(err);
    return run;
}

// A fresh, empty folder for one test.
inline std::string fresh_dir(const std::string& name) {
    const std::string dir = ::testing::TempDir() + name;
    EXPECT_EQ(std::system(("rm -rf " + dir + " && mkdir -p " + dir).c_str()), 0);
    return dir;
}

inline std::set<std::string> dir_entries(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.insert(e->d_name);
        closedir(d);
    }
    return names;
}

// A PNG as RGB rows, top row first; empty when it cannot be read.
inline std::vector<uint8_t> read_png_rgb(const std::string& path, int* width, int* height) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    *width = int(image.width);
    *height = int(image.height);
    return rgb;
}
