#pragma once
// The program's window, its OpenGL context and the idle loop that draws frames.
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "timeline/demo.h"

// Window messages the show handles; everything else takes the default path.
enum WindowMessage : unsigned {
    WM_DESTROY = 0x0002,
    WM_SIZE = 0x0005,
    WM_PAINT = 0x000F,
    WM_KEYDOWN = 0x0100,
};
constexpr unsigned VK_ESCAPE = 0x1B;

extern bool FullScreen;            // the answer to the start-up question; true until answered No
extern bool RenderContext;         // a GL context is held

// How the picture reaches the screen, beside the show's own FullScreen.
// Written by main (the page's too) from the options, by the window where the
// scaled full screen cannot be had, and by choose_render_scale; read by the
// window, the render scale and --stats.
struct PictureSetup {
    bool scaled = false;            // full screen in a desktop-size window, the picture scaled (--scaled)
    int renderScaleAsked = 0;       // --render-scale; 0: auto
    std::string frameDescription = "800x600";  // the frame's size and how it was chosen, for --stats
};
extern PictureSetup Picture;

// ---- Main window and loop.
bool create_gl_window(const char* title, int width, int height, bool fullScreen);
bool open_scaled_full_screen(const char* title, int width, int height);
void enter_full_screen();
// Frames while the queue is empty, until a quit request; at the end of the
// schedule the show ends as on Escape, or with `loop` starts again.
int run_message_loop(bool loop);
void dispatch_event(const platform::Event& event);  // every event but Quit, to the window procedure
// A key's code or a new size is the event's own: KeyDown for WM_KEYDOWN, Resize for WM_SIZE.
long window_proc(unsigned message, const platform::Event& event);
void kill_gl_window();  // safe to run twice
// After the loop, whichever way it ended: the context released, the user's
// display back, --stats printed. The show's one way out.
void leave_show();

// ---- The show without a window, for the tools and tests that draw offscreen
// into a context already current: what setup_gl_context does once the
// context is there, with the media folder entered, the tune muted, `clock` in
// place of the calendar and `present` in place of the buffer swap (nullptr:
// the show's own), the drawing state and view at width by height, and the
// whole start-up. False when the folder cannot be entered (nothing started)
// or the start-up failed.
bool start_offline_show(const char* mediaDir, CalendarClock clock, FramePresenter present, int width, int height);
// The calendar second a simulated clock starts the show at: any fixed origin,
// only differences of the clock matter to the show.
constexpr int64_t SimulatedClockOrigin = 1000000000;

// ---- The loop's pace and its figures.
// At most maxFps frames a second (0: as fast as the machine draws; AutoFps:
// the display's refresh), each placed on the clock where it is seen, or with
// frameCounted one step a frame as the show first moved. After the start-up:
// positions count from the clock's start.
void start_pacing(int maxFps, bool frameCounted);
void restart_pacing();          // the same on a new context, from a fresh slot and clock
void count_frames();            // --stats: each showing's frames, counted from now
void print_frame_stats();       // on standard output, when counted
bool draw_paced_frame();        // waits for the frame's slot, draws it, counts it; false once the show is over

// The start-up question and the window title, the same wherever the show runs.
extern const char* const QuestionText;
extern const char* const QuestionCaption;
extern const char* const WindowTitle;

// ---- OpenGL context and view.
void init_gl();
void setup_gl_context(int width, int height);
bool set_pixel_format();
void init_gl_state();
void resize_gl_view(int width, int height);
// With the surface current: the render scale for the screen (or as asked),
// the frame made at that size, or the largest the driver can draw.
void choose_render_scale();
void restart_show();  // --loop: the show from its start again, in the same window, between two frames
