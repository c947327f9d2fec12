#include "platform/desktop/desktop.h"

namespace platform {

// No fork: SDL's box runs in this process, and its errors are kept as they come.
bool open_error_pipe(int ends[2]) {
    ends[0] = ends[1] = -1;
    return false;
}
void close_error_pipe(int*) {}
void write_error_pipe(int, const char*, size_t) {}
void read_error_pipe(int, std::string*) {}

}  // namespace platform
