#pragma once
// Between the desktop's own files (Linux and Windows, on SDL's desktop video).

namespace platform {

// Puts back the user's display mode and cursor; safe to call again.
void restore_user_display();

// From now on a signal that ends the process puts the display back first (signal_exit.cpp).
void watch_exit_signals();

}  // namespace platform
