#pragma once
// Outputs that appear under their own name only when complete: each is written
// under a temporary name beside it and renamed at the end, so an interrupted or
// failed capture never leaves a file that looks finished.
#include <csignal>
#include <string>

class PendingFile {
public:
    // The final path, made absolute against the working folder of the call.
    explicit PendingFile(const std::string& finalPath);
    ~PendingFile();  // removes the temporary unless committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates the temporary file, empty: proves at once that the output can be
    // written. False with *error set when it cannot.
    bool create(std::string* error);
    // Renames the temporary to the final name.
    bool commit(std::string* error);

    const std::string& temporary() const { return temporary_; }
    const std::string& final() const { return final_; }

private:
    std::string final_, temporary_;
    bool created_ = false;
};

// The signal that asked the capture to stop (SIGINT, SIGTERM), or 0. The
// handlers only set it; the capture notices it between frames and blocking
// writes return early, so the temporaries are removed on the way out. A second
// signal ends the process at once.
extern volatile std::sig_atomic_t StopSignal;
// Also makes a closed pipe and an exceeded file-size limit failed writes
// instead of deaths, so that they too are cleaned up.
void install_stop_handlers();
