// bench_scenes: frame times of every scene of the show, offscreen, with the
// media of the folder it runs in; then the start-up time and the peak memory.
//
// The show runs through its own timeline, every showing of the schedule in
// order, with a simulated clock parked in the showing's first second: each
// inherits the drawing state, grids and frame counter that the showings before
// it left, as in the show (the tunnel draws on the grid that the reflecting
// spheres' second showing wrote). Each frame ends with glFinish, as a buffer
// swap would wait for the picture. Beside each frame's time, the main
// thread's CPU time in it: what the show and the driver's front end spend,
// without the rasterizer's threads (the page's figure of the same frame).
//
//   bench_scenes [--media DIR] [--warmup N] [--frames N] [--scale N]
//   bench_scenes --list    the showings it would measure: name, first and last second
#include <GL/gl.h>
#include <sys/resource.h>
#include <time.h>
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
#include "textures/render_target.h"
#include "timeline/demo.h"
#include "tool_usage.h"

namespace {

int64_t SimulatedSecond = 0;

int64_t simulated_calendar() { return SimulatedClockOrigin + SimulatedSecond; }
void finish_frame() { glFinish(); }

using Clock = std::chrono::steady_clock;
double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double thread_cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

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

const char* const Usage =
    "usage: bench_scenes [--media DIR] [--warmup N] [--frames N] [--scale N] | --list\n"
    "Times every scene of the show offscreen through its own timeline, then start-up and peak memory.\n"
    "\n"
    "  --media DIR   the folder with the show's media (default: the working folder)\n"
    "  --warmup N    frames drawn before timing each scene, 1 to 1000000 (default 30)\n"
    "  --frames N    frames timed per scene, 1 to 1000000 (default 300)\n"
    "  --scale N     draw at N times 800x600, 1 to 4, as the show does at that render scale (default 1)\n"
    "  --list        print the showings it would measure (first and last second, name), nothing else\n"
    "  --help        print this and exit\n";

int refuse(const std::string& why) { return refuse_command_line("bench_scenes", why); }

}  // namespace

int main(int argc, char** argv) {
    std::string media = ".";
    int warmup = 30, frames = 300, scale = 1;
    if (print_usage_if_asked(argc, argv, Usage)) return 0;
    if (argc == 2 && !std::strcmp(argv[1], "--list")) {
        for (const ScheduleRow& row : Schedule) std::printf("%d %d %s\n", row.first, row.last, showing_name(row).c_str());
        return 0;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--list") return refuse("--list goes alone");
        if (name != "--media" && name != "--warmup" && name != "--frames" && name != "--scale")
            return refuse((name[0] == '-' ? "unknown option " : "unexpected argument ") + name);
        if (i + 1 == argc) return refuse(name + " needs a value");
        const char* value = argv[++i];
        if (name == "--media") media = value;
        else if (name == "--scale") {
            if (!read_count(value, &scale) || scale > MaxRenderScale)
                return refuse("--scale: not a whole number from 1 to " + std::to_string(MaxRenderScale) + ": " + value);
        } else if (!read_count(value, name == "--warmup" ? &warmup : &frames))
            return refuse(name + ": not a count from 1 to 1000000: " + value);
    }
    // A media error is told on stderr and the bench goes on, as the show would
    // once its box is answered: only the show opens boxes.
    static platform::PrintingMessageSink boxes;
    platform::set_message_sink(&boxes);
    std::string error;
    set_render_scale(scale);
    if (!platform::open_offscreen_context(frame_width(), frame_height(), &error)) {
        std::fprintf(stderr, "bench_scenes: offscreen OpenGL context: %s\n", error.c_str());
        return 1;
    }
    const auto startup = Clock::now();
    if (!start_offline_show(media.c_str(), simulated_calendar, finish_frame, frame_width(), frame_height())) {
        std::fprintf(stderr, "bench_scenes: cannot enter media folder %s\n", media.c_str());
        return 1;
    }
    glFinish();
    const double startupMs = ms_since(startup);

    std::printf("%-22s %9s %10s %10s %8s %8s   (%d frames after %d, %dx%d, %s)\n", "showing", "seconds",
                "median ms", "p95 ms", "fps", "cpu ms", frames, warmup, frame_width(), frame_height(),
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::vector<double> times(static_cast<size_t>(frames)), cpu(times.size());
    for (const ScheduleRow& row : Schedule) {
        SimulatedSecond = row.first;
        for (int k = 0; k < warmup; ++k) draw_frame();
        for (size_t k = 0; k < times.size(); ++k) {
            const auto start = Clock::now();
            const double cpuStart = thread_cpu_ms();
            draw_frame();
            cpu[k] = thread_cpu_ms() - cpuStart;
            times[k] = ms_since(start);
        }
        const double median = percentile(times, 0.5);
        const std::string seconds = std::to_string(row.first) + "-" + std::to_string(row.last);
        std::printf("%-22s %9s %10.2f %10.2f %8.1f %8.2f\n", showing_name(row).c_str(), seconds.c_str(), median,
                    percentile(times, 0.95), 1000.0 / median, percentile(cpu, 0.5));
    }
    // The loop's own per-frame cost of placing a frame on the clock: the
    // clock read, the beat measured, the position (no ceiling: no wait).
    FramePace pace;
    pace.start(platform::seconds_now());
    constexpr int Placed = 1000000;
    const auto placing = Clock::now();
    double sum = 0.0;
    for (int k = 0; k < Placed; ++k) sum += pace.next_frame(platform::seconds_now, [](double) {}).step;
    std::printf("frame position on the clock: %.0f ns a frame (%s)\n", ms_since(placing) * 1e6 / Placed,
                sum > 0.0 ? "positions advanced" : "positions stood still");
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("start-up (all media, music muted): %.1f ms\n", startupMs);
    std::printf("peak memory (max RSS): %.1f MB\n", double(usage.ru_maxrss) / 1024.0);
    platform::close_offscreen_context();
    return 0;
}
