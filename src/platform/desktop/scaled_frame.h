#pragma once
// The picture of a scaled full screen: an offscreen framebuffer of the show's
// own size that the show draws into instead of the window, shown scaled into
// the window at each swap. Internal to the desktop platform (display.cpp); each
// call needs the window's GL context current.
#include <string>

namespace platform {

// Makes the framebuffer (colour and depth of as many bits as the window's own)
// and binds it for drawing and reading. True at once if it is made already;
// false, with nothing made and the reason in *why (if given), where the
// driver lacks framebuffer objects or refuses this one.
bool open_scaled_frame(int width, int height, std::string* why);
// Before the window's buffer swap: the bars black, the picture scaled into
// the window (drawable size in pixels), 4:3 kept, linearly filtered.
void present_scaled_frame(int windowWidth, int windowHeight);
// After the swap: the framebuffer bound again for the next frame.
void resume_scaled_frame();
// Before the context goes; safe to call again.
void close_scaled_frame();

}  // namespace platform
