#include <fcntl.h>
#include <unistd.h>

#include "platform/desktop/desktop.h"

namespace platform {

bool open_error_pipe(int ends[2]) {
    if (pipe(ends) != 0) {
        ends[0] = ends[1] = -1;
        return false;
    }
    for (int i = 0; i < 2; ++i) fcntl(ends[i], F_SETFL, O_NONBLOCK);
    return true;
}

void close_error_pipe(int ends[2]) {
    for (int i = 0; i < 2; ++i) {
        if (ends[i] >= 0) close(ends[i]);
        ends[i] = -1;
    }
}

void write_error_pipe(int end, const char* bytes, size_t size) {
    for (ssize_t done; size > 0 && (done = write(end, bytes, size)) > 0; bytes += done, size -= size_t(done)) {
    }
}

void read_error_pipe(int end, std::string* into) {
    char chunk[256];
    for (ssize_t got; end >= 0 && (got = read(end, chunk, sizeof chunk)) > 0;) into->append(chunk, size_t(got));
}

}  // namespace platform
