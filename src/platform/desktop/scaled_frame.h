#pragma once
// The show's frame where it is not the window's own buffers (the scaled full
// screen, a frame drawn larger or smaller than the window): an offscreen
// framebuffer that the show draws into instead of the window, shown scaled
// into the window at each swap. Internal to the desktop platform
// (display.cpp); each call needs the window's GL context current.
#include <string>

namespace platform {

// Makes the framebuffer (colour and depth of as many bits as the window's own)
// and binds it for drawing and reading, in place of one of another size.
// True at once if it is made already at this size; false, with nothing made
// and the reason in *why (if given), where the driver lacks framebuffer
// objects, or refuses this one or its size.
bool open_scaled_frame(int width, int height, std::string* why);
// The frame's size, where one is made.
bool scaled_frame_size(int* width, int* height);
// Before the window's buffer swap: the bars black, the picture scaled into
// the window (drawable size in pixels), 4:3 kept, linearly filtered; a frame
// over twice the window's picture is halved in steps first, so it does not alias.
void present_scaled_frame(int windowWidth, int windowHeight);
// After the swap: the framebuffer bound again for the next frame.
void resume_scaled_frame();
// Before the context goes; safe to call again.
void close_scaled_frame();

}  // namespace platform
