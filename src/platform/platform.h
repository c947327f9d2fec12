#pragma once
// The show's window, message boxes, display mode, cursor, GL surface, event
// queue and music: the few desktop services the show asks for, kept behind one
// small header so that tests and tools can run the show without a window.
#include <string>
#include <vector>

struct openmpt_module;

namespace platform {

// ---- Message boxes: modal, with the show's exact texts and captions.
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No, Failed };  // Failed: no box could be shown

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    Buttons buttons;
    bool owned;  // owned by the window with keyboard focus, if there is one
};

// Replaces the real boxes (tests install a recording sink).
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual Answer show(const MessageBoxRecord& box) = 0;
};

// Records every box and answers with a fixed reply.
class RecordingMessageSink : public MessageSink {
public:
    explicit RecordingMessageSink(Answer reply = Answer::Ok) : reply_(reply) {}
    Answer show(const MessageBoxRecord& box) override { boxes.push_back(box); return reply_; }
    std::vector<MessageBoxRecord> boxes;
private:
    Answer reply_;
};

// Prints every box on standard error, its caption and its text a line each,
// and answers as the box's default button would (Return: OK, or Yes): for the
// tools that run the show's code where no person is there to answer.
class PrintingMessageSink : public MessageSink {
public:
    Answer show(const MessageBoxRecord& box) override;
};

void set_message_sink(MessageSink* sink);  // nullptr: real boxes again
// Blocks until the user answers. Yes/No boxes answer Yes on Return, No on Escape.
Answer show_message(const char* text, const char* caption, Buttons buttons = Buttons::Ok,
                    bool owned = false);

// ---- Standard output and error lead to the console the program was started
// from, where the system would not (a Windows program with a window).
void attach_console();

// ---- Display mode and window.
// Connects to the display (X11 or Wayland) before the first box or window.
// False with SDL's reason when there is none at all to connect to.
bool open_display(std::string* why);
// The desktop is a Wayland session (SDL's Wayland driver, or X11 through
// Xwayland under a Wayland compositor), where no program can switch the
// display's mode: the compositor only emulates it, scaling or cropping.
bool wayland_session();
enum class DisplaySwitch { Switched, CannotRead, NotCompatible };
// Chooses the display's width by height mode, keeping depth and refresh where
// offered; it takes effect when the full-screen window opens.
DisplaySwitch switch_display_mode(int width, int height);
void restore_display_mode();
// The process's last call: the user's display and cursor as they were, the GL
// surface released, the window and video closed.
void close_display();
void show_cursor(bool visible);
// Client area width by height, the window's outer corner at (0, 0): borderless
// over the display in full screen, an ordinary resizable window otherwise.
// Width and height count the desktop's units: on a display of more pixels per
// unit (HiDPI) the GL surface has more pixels than that. False when no window
// can be made.
bool open_window(const char* title, int width, int height, bool fullScreen);
// The size the show draws at, in pixels: the window's GL surface, or the
// frame of set_frame_size; 0 by 0 without a window.
void client_size(int* width, int* height);
// The window's GL surface in pixels, whatever the show draws at; 0 by 0 without a window.
void drawable_size(int* width, int* height);
// With the GL surface current: the show draws a width by height frame from
// now on, which every swap shows filtered into the window, its shape kept,
// centred between black bars. A size the window's surface has already is
// drawn there directly. False, with the frame as it was and the reason in
// *why, where the driver has no framebuffer objects or refuses that size.
bool set_frame_size(int width, int height, std::string* why);
// The current GL context draws on the CPU (Mesa's llvmpipe, SwiftShader), where
// a larger frame costs several times the time; false where it cannot tell.
bool software_renderer();

// ---- Scaled full screen: a borderless window over the whole desktop at the
// desktop's own mode, which is never switched. Its GL surface is an offscreen
// width by height picture (colour and depth as the window's own), which every
// swap shows scaled into the window: the shape kept, centred between black
// bars, linearly filtered. The show draws into it as into any window of that
// size. False, with nothing left open and the reason in *why, where no such
// window can be made or the driver has no framebuffer objects (GL 3.0,
// GL_ARB_framebuffer_object, or GL_EXT_framebuffer_object with _blit). Its
// frame may then be made another size with set_frame_size.
bool open_scaled_window(const char* title, int width, int height, std::string* why);

// ---- GL surface: double-buffered, 16 colour and 16 depth bits asked for, legacy context.
enum class SurfaceStatus { Ready, NoPixelFormat, FormatRefused };
SurfaceStatus create_gl_surface();
void release_gl_surface();  // safe to call again
void swap_buffers();

// ---- Frame timing: the clock and the sleep the show's pace is kept with, and
// the display's own beat.
double seconds_now();                 // monotonic, fine: SDL's high-resolution counter
void sleep_seconds(double seconds);   // whole milliseconds of it; under one only yields
int display_refresh_rate();           // Hz of the display showing the GL surface; 0: unknown
bool set_swap_interval(int interval); // refreshes per swap; false where the driver refuses

// ---- Event queue.
enum class EventType { KeyDown, Close, Resize, Paint, Quit, Other };
struct Event {
    EventType type = EventType::Other;
    int key = 0;        // KeyDown
    int width = 0;      // Resize: new client size
    int height = 0;
    int exitCode = 0;   // Quit
};
constexpr int KeyEscape = 0x1B;

bool take_event(Event* event);  // at most one event; never waits
// Ends the loop after the events already queued.
void post_quit(int exitCode);

// ---- Music: an extended module played looping on the audio thread. Any
// failure leaves the show silent. Opening (reading the file, finding the
// audio output) takes its time; playing starts at once.
void open_music(const char* fileName);  // ready, silent
void play_music();                      // the opened tune starts; nothing if none
// Silences the tune and lets it go; the next open_music and play_music play
// it from its start, on the audio output already open.
void stop_music();
void mute_music();  // later open_music calls open nothing (offline tools)
// The tune follows the clock: where it lags the calendar time since
// play_music by more than a tenth of a second (a stall: a suspended machine, a
// stopped process, a dropped audio stream), or leads it by more than an
// output's buffer could (a clock set back), it is moved to that time. How
// many times it was moved so far, and where it plays now in seconds (-1: no
// tune playing).
int music_moves();
double music_position();
// The calendar time the tune follows, in seconds with their fraction.
double calendar_seconds();
// Audio callbacks, after the first, that found the tune behind the clock: the
// output had run dry before it asked again.
int music_late_callbacks();

// The tune exactly as the show plays it, for tools that render it offline:
// libopenmpt's default settings, looping for ever, read as interleaved 16-bit
// stereo at TuneSampleRate. nullptr when the file is missing or unreadable;
// the caller releases it with openmpt_module_destroy.
constexpr int TuneSampleRate = 44100;
openmpt_module* open_tune(const char* fileName);

}  // namespace platform
