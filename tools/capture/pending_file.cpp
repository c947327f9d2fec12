#include "pending_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

volatile std::sig_atomic_t StopSignal = 0;

namespace {

void note_stop(int signal) { StopSignal = signal; }

std::string absolute(const std::string& path) {
    std::error_code failed;
    std::filesystem::path full = std::filesystem::absolute(path, failed);
    return failed ? path : full.lexically_normal().string();
}

}  // namespace

PendingFile::PendingFile(const std::string& finalPath)
    : final_(absolute(finalPath)), temporary_(final_ + "." + std::to_string(getpid()) + ".part") {}

PendingFile::~PendingFile() {
    if (created_) unlink(temporary_.c_str());
}

bool PendingFile::create(std::string* error) {
    std::error_code ignored;
    if (std::filesystem::is_directory(final_, ignored)) {
        *error = "cannot write " + final_ + ": it is a folder";
        return false;
    }
    const int fd = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = "cannot write " + final_ + ": " + std::strerror(errno);
        return false;
    }
    close(fd);
    created_ = true;
    return true;
}

bool PendingFile::commit(std::string* error) {
    if (std::rename(temporary_.c_str(), final_.c_str()) != 0) {
        *error = "cannot write " + final_ + ": " + std::strerror(errno);
        return false;
    }
    created_ = false;
    return true;
}

void install_stop_handlers() {
    struct sigaction stop = {};
    stop.sa_handler = note_stop;
    sigemptyset(&stop.sa_mask);
    stop.sa_flags = SA_RESETHAND;  // no SA_RESTART: a blocked write returns with EINTR
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
}
