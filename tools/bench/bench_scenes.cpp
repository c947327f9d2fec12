// bench_scenes: frame times of every scene of the show, offscreen, with the
// media of the folder it runs in; then the start-up time and the peak memory.
//
// The show runs through its own timeline with a simulated clock parked in each
// scene's first second: every scene inherits the drawing state and frame
// counter of the scenes before it, as in the show. Each frame ends with
// glFinish, as a buffer swap would wait for the picture.
//
//   bench_scenes [--media DIR] [--warmup N] [--frames N]
#include <GL/gl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/offscreen.h"
#include "platform/platform.h"
#include "shell/shell.h"
#include "timeline/demo.h"

namespace {

constexpr int64_t ClockOrigin = 1000000000;
int64_t SimulatedSecond = 0;

int64_t simulated_calendar() { return ClockOrigin + SimulatedSecond; }
void finish_frame() { glFinish(); }

using Clock = std::chrono::steady_clock;
double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Scene {
    const char* name;
    int second;  // the first second of its first showing
};
const Scene Scenes[] = {
    {"rippling box", 0},        {"collage sheet", 20}, {"funnel sheets", 27}, {"reflecting spheres", 54},
    {"counter meshes", 68},     {"blob sheet", 80},    {"tunnel", 140},       {"twin bowls", 160},
};

double percentile(std::vector<double> times, double p) {
    std::sort(times.begin(), times.end());
    return times[std::min(times.size() - 1, size_t(p * double(times.size())))];
}

bool read_count(const char* text, int* value) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || n < 1 || n > 1000000) return false;
    *value = int(n);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string media = ".";
    int warmup = 30, frames = 300;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--media") && hasValue) media = argv[++i];
        else if (!std::strcmp(argv[i], "--warmup") && hasValue && read_count(argv[i + 1], &warmup)) ++i;
        else if (!std::strcmp(argv[i], "--frames") && hasValue && read_count(argv[i + 1], &frames)) ++i;
        else {
            std::fprintf(stderr, "usage: bench_scenes [--media DIR] [--warmup N (30)] [--frames N (300)]\n");
            return 2;
        }
    }
    // A media error is told on stderr and the bench goes on, as the show would
    // once its box is answered: only the show opens boxes.
    static platform::PrintingMessageSink boxes;
    platform::set_message_sink(&boxes);
    std::string error;
    if (!platform::open_offscreen_context(ScreenWidth, ScreenHeight, &error)) {
        std::fprintf(stderr, "bench_scenes: offscreen OpenGL context: %s\n", error.c_str());
        return 1;
    }
    if (chdir(media.c_str()) != 0) {
        std::fprintf(stderr, "bench_scenes: cannot enter media folder %s\n", media.c_str());
        return 1;
    }
    platform::mute_music();
    set_calendar_clock(simulated_calendar);
    set_frame_presenter(finish_frame);
    init_gl_state();
    resize_gl_view(ScreenWidth, ScreenHeight);

    const auto startup = Clock::now();
    start_demo();
    glFinish();
    const double startupMs = ms_since(startup);

    std::printf("%-20s %10s %10s %8s   (%d frames after %d, 800x600, %s)\n", "scene", "median ms", "p95 ms", "fps",
                frames, warmup, reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::vector<double> times(static_cast<size_t>(frames));
    for (const Scene& scene : Scenes) {
        SimulatedSecond = scene.second;
        for (int k = 0; k < warmup; ++k) draw_frame();
        for (double& t : times) {
            const auto start = Clock::now();
            draw_frame();
            t = ms_since(start);
        }
        const double median = percentile(times, 0.5);
        std::printf("%-20s %10.2f %10.2f %8.1f\n", scene.name, median, percentile(times, 0.95), 1000.0 / median);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("start-up (start_demo, all media, music muted): %.1f ms\n", startupMs);
    std::printf("peak memory (max RSS): %.1f MB\n", double(usage.ru_maxrss) / 1024.0);
    platform::close_offscreen_context();
    return 0;
}
