#pragma once
// Between the desktop's own files (Linux and Windows, on SDL's desktop video).
#include <cstddef>
#include <string>

namespace platform {

// Puts back the user's display mode and cursor; safe to call again.
void restore_user_display();

// From now on a signal that ends the process puts the display back first (signal_exit.cpp).
void watch_exit_signals();

// ---- Supplied by posix/ and windows/.
// A pipe whose writes come back to this process even from a forked child
// (SDL's X11 message box forks): false, and both ends -1, where there is none.
bool open_error_pipe(int ends[2]);
void close_error_pipe(int ends[2]);
void write_error_pipe(int end, const char* bytes, size_t size);  // a plain write: safe in a forked child
void read_error_pipe(int end, std::string* into);                // what has come, without waiting

}  // namespace platform
