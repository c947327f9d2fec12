// Through the ffmpeg program rather than its libraries: its command line is
// stable across versions, the encoder runs in its own process beside the
// renderer on the second core, and its own messages explain its failures.
#include "video_encoder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

#include "pending_file.h"

extern char** environ;

namespace {

bool fail(std::string* error, const std::string& message) {
    *error = message;
    return false;
}

std::string exit_reason(int status) {
    if (WIFEXITED(status)) return "ffmpeg failed with exit code " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status));
    return "ffmpeg failed";
}

}  // namespace

bool program_on_path(const char* program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

VideoEncoder::~VideoEncoder() { abort(); }

bool VideoEncoder::start(const std::string& mp4Path, const std::string& wavPath, int width, int height, int fps,
                         const std::string& preset, std::string* error) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string rate = std::to_string(fps);
    // The rows arrive bottom-up: vflip turns them the right way before the
    // conversion to yuv420p. faststart puts the index first, for players that stream.
    const std::vector<std::string> args = {
        "ffmpeg", "-hide_banner", "-loglevel", "error", "-nostats",
        "-f", "rawvideo", "-pixel_format", "bgra", "-video_size", size, "-framerate", rate, "-i", "pipe:0",
        "-i", wavPath, "-map", "0:v", "-map", "1:a",
        "-vf", "vflip", "-c:v", "libx264", "-preset", preset, "-crf", "18", "-pix_fmt", "yuv420p",
        "-c:a", "aac", "-b:a", "192k", "-movflags", "+faststart", "-f", "mp4", "-y", mp4Path};
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return fail(error, std::string("no pipe for ffmpeg: ") + std::strerror(errno));
    // A larger pipe lets the renderer run up to half a frame ahead of the encoder.
    fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    // Its own process group: Ctrl-C reaches only the capture, which then stops ffmpeg itself.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int failed = posix_spawnp(&pid_, "ffmpeg", &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(fds[0]);
    if (failed != 0) {
        close(fds[1]);
        pid_ = -1;
        return fail(error, std::string("cannot run ffmpeg: ") + std::strerror(failed));
    }
    pipe_ = fds[1];
    frameBytes_ = size_t(width) * height * 4;
    return true;
}

bool VideoEncoder::write_frame(const uint8_t* bgraBottomUp, std::string* error) {
    for (size_t done = 0; done < frameBytes_;) {
        const ssize_t n = write(pipe_, bgraBottomUp + done, frameBytes_ - done);
        if (StopSignal) return fail(error, "stopped");
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(error, "ffmpeg stopped taking frames (" + std::string(std::strerror(errno)) + ")");
        done += size_t(n);
    }
    return true;
}

bool VideoEncoder::finish(std::string* error) {
    close(pipe_);
    pipe_ = -1;
    int status = 0;
    pid_t waited;
    while ((waited = waitpid(pid_, &status, 0)) < 0 && errno == EINTR)
        if (StopSignal) return fail(error, "stopped");  // the destructor stops ffmpeg
    pid_ = -1;
    if (waited < 0) return fail(error, std::string("lost ffmpeg: ") + std::strerror(errno));
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    return fail(error, exit_reason(status));
}

void VideoEncoder::abort() {
    if (pipe_ >= 0) close(pipe_);
    pipe_ = -1;
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    pid_ = -1;
}
