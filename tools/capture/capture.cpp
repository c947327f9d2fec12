// capture: renders the show offscreen at a fixed frame rate of show time and
// writes the chosen frames as PNG. The show runs unchanged; only its two seams
// differ: the calendar clock reads the simulated second of the frame being
// drawn, and presenting a frame means reading its pixels. No sound.
#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "capture_options.h"
#include "platform/offscreen.h"
#include "platform/platform.h"
#include "png_file.h"
#include "shell/shell.h"
#include "timeline/demo.h"

namespace {

// Any fixed origin: only differences of the clock matter to the show.
constexpr int64_t ClockOrigin = 1000000000;

CaptureOptions Options;
int64_t Frame = 0;  // the frame being drawn, by number
bool WriteFailed = false;

int64_t simulated_calendar() { return ClockOrigin + Frame / Options.fps; }

std::string frame_path(int64_t frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06lld.png", static_cast<long long>(frame));
    return Options.outDir + "/" + name;
}

void grab_chosen_frame() {
    if (!Options.frames.count(Frame)) return;
    std::vector<uint8_t> rgb(size_t(ScreenWidth) * ScreenHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, ScreenWidth, ScreenHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    const std::string path = frame_path(Frame);
    if (!write_png(path, ScreenWidth, ScreenHeight, rgb.data())) {
        std::fprintf(stderr, "capture: cannot write %s\n", path.c_str());
        WriteFailed = true;
        return;
    }
    std::printf("%s  second %.3f\n", path.c_str(), double(Frame) / Options.fps);
}

// The output folder as an absolute path, made if missing: the show runs in the media folder.
bool prepare_out_dir() {
    std::error_code failed;
    std::filesystem::path out = std::filesystem::absolute(Options.outDir, failed);
    if (!failed) std::filesystem::create_directories(out, failed);
    if (failed) {
        std::fprintf(stderr, "capture: cannot make %s: %s\n", Options.outDir.c_str(), failed.message().c_str());
        return false;
    }
    Options.outDir = out.string();
    return true;
}

// What the window set-up does once the context is current, then the frames
// up to the last one chosen, which lies before the show's end.
int run_capture() {
    std::string error;
    if (!platform::open_offscreen_context(ScreenWidth, ScreenHeight, &error)) {
        std::fprintf(stderr, "capture: offscreen OpenGL context: %s\n", error.c_str());
        return 1;
    }
    platform::mute_music();
    if (chdir(Options.mediaDir.c_str()) != 0) {
        std::fprintf(stderr, "capture: cannot enter media folder %s\n", Options.mediaDir.c_str());
        return 1;
    }
    set_calendar_clock(simulated_calendar);
    set_frame_presenter(grab_chosen_frame);
    init_gl_state();
    resize_gl_view(ScreenWidth, ScreenHeight);
    start_demo();
    const int64_t last = *Options.frames.rbegin();
    for (Frame = 0; Frame <= last && !WriteFailed; ++Frame) draw_frame();
    platform::close_offscreen_context();
    return WriteFailed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    if (!parse_capture_options(std::vector<std::string>(argv + 1, argv + argc), &Options, &error)) {
        std::fprintf(stderr, "capture: %s\n%s", error.c_str(), CaptureUsage);
        return 2;
    }
    if (!prepare_out_dir()) return 1;
    return run_capture();
}
