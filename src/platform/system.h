#pragma once
// Inside the platform library only: the SDL window that window.cpp keeps for
// every target, and what each target supplies to it. The desktop (Linux,
// Windows) supplies it in desktop/, the web page in web/; the few pieces the
// two desktops do differently sit below that, in posix/ and windows/.
#include <SDL.h>

#include "platform/platform.h"

namespace platform {

struct WindowState {
    bool videoReady = false;
    SDL_Window* window = nullptr;
    bool glCapable = false;      // the window got a GL visual
    SDL_GLContext context = nullptr;
    bool cursorHidden = false;
    Uint32 quitEvent = 0;
    bool quitPending = false;    // a quit posted before the event queue existed
    int quitCode = 0;
};
// Written by window.cpp, and by the target's open_window (window, glCapable).
extern WindowState MainWindow;

// Starts SDL's video once; false while it cannot.
bool ensure_video();

// ---- Supplied by each target.
void on_video_started();                              // once, right after SDL's video starts
void act_on_exit_request();                           // at every event check, on the show's thread
void finish_frame_commands();                         // before each frame is presented
void frame_swapped();                                 // after each swap
void release_frame_target();                          // before the GL context goes
bool frame_target_size(int* width, int* height);      // the frame's, where it is not the window's own
Answer show_system_box(const MessageBoxRecord& box);  // the target's own modal box
// The system audio library's own error messages hushed while SDL opens the
// audio device, and given back: ALSA writes a screenful on a machine without
// a sound card, for a silence the show tells in one line of its own.
void hush_audio_library();
void unhush_audio_library();

}  // namespace platform
