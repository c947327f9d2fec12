#pragma once
// The signals on which the show puts the user's display back before it dies:
// every one of this system's signals that ends a process by default and can be caught.

namespace platform {

void on_exit_signals(void (*handler)(int));

}  // namespace platform
