/* Small X client for the end-to-end tests: what a window manager or a person
 * would do or see that xdotool cannot.
 *   xprobe close WINDOW    ask the window to close, as a title bar's close box does
 *   xprobe cursor WINDOW   print "hidden" or "visible" for the cursor over that window
 *   xprobe mode            print the screen's current size as WIDTHxHEIGHT
 *   xprobe ping WINDOW     send a window manager's ping and wait up to 5 s for the answer: a client
 *                          answers from its event loop, after every event that reached it before
 *   xprobe shots DIR SECONDS GEOMETRY
 *                          the screen's WxH+X+Y, every 100 ms for SECONDS, each into DIR/MS.ppm, MS the
 *                          monotonic milliseconds halfway through taking it: what a person saw when
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static int close_window(Display* display, Window window) {
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    return 0;
}

static int window_gone = 0;
static int note_error(Display* display, XErrorEvent* error) {
    (void)display;
    if (error->error_code == BadWindow) window_gone = 1;
    return 0;
}

/* _NET_WM_PING, as a window manager asks whether a client still reads its
 * events: the client sends the message back to the root window. */
static int ping_window(Display* display, Window window) {
    XSetErrorHandler(note_error);
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    long token = (long)getpid();
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)ping;
    event.xclient.data.l[1] = token;
    event.xclient.data.l[2] = (long)window;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    struct timespec start, now;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        if (window_gone) {
            fprintf(stderr, "xprobe: no window 0x%lx\n", window);
            return 1;
        }
        while (XPending(display)) {
            XNextEvent(display, &event);
            if (event.type == ClientMessage && event.xclient.message_type == protocols &&
                event.xclient.data.l[0] == (long)ping && event.xclient.data.l[1] == token &&
                event.xclient.data.l[2] == (long)window)
                return 0;
        }
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (now.tv_sec - start.tv_sec >= 5) {
            fprintf(stderr, "xprobe: window 0x%lx did not answer a ping in 5 s\n", window);
            return 1;
        }
        struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, 100);
    }
}

/* Moves the pointer into the window and reads the cursor image shown there. */
static int cursor_state(Display* display, Window window) {
    XWarpPointer(display, None, window, 0, 0, 0, 0, 10, 10);
    XSync(display, False);
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image) return 2;
    int visible = 0;
    for (int i = 0; i < image->width * image->height; ++i)
        if ((image->pixels[i] >> 24) & 0xFF) visible = 1;
    printf("%s\n", visible ? "visible" : "hidden");
    XFree(image);
    return 0;
}

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1000.0 + (double)t.tv_nsec / 1e6;
}

/* ImageMagick's import takes a quarter of a second a shot; this takes a few ms. */
static int take_shots(Display* display, const char* dir, double seconds, const char* geometry) {
    int width, height, x, y;
    if (sscanf(geometry, "%dx%d+%d+%d", &width, &height, &x, &y) != 4 || width <= 0 || height <= 0) return 2;
    const double end = now_ms() + seconds * 1000.0;
    for (double next = now_ms(); next < end; next += 100.0) {
        while (now_ms() < next) usleep(1000);
        const double before = now_ms();
        XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, (unsigned)width, (unsigned)height,
                                  AllPlanes, ZPixmap);
        if (!image) return 1;
        char path[4096];
        snprintf(path, sizeof path, "%s/%.0f.ppm", dir, (before + now_ms()) / 2.0);
        FILE* file = fopen(path, "wb");
        if (!file) return 1;
        fprintf(file, "P6\n%d %d\n255\n", width, height);
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column) {
                const unsigned long pixel = XGetPixel(image, column, row);
                const unsigned char rgb[3] = {(unsigned char)(pixel >> 16), (unsigned char)(pixel >> 8),
                                              (unsigned char)pixel};
                fwrite(rgb, 1, 3, file);
            }
        fclose(file);
        XDestroyImage(image);
    }
    return 0;
}

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(NULL);
    if (!display || argc < 2) return 2;
    int rc = 2;
    if (strcmp(argv[1], "mode") == 0) {
        Screen* screen = DefaultScreenOfDisplay(display);
        printf("%dx%d\n", WidthOfScreen(screen), HeightOfScreen(screen));
        rc = 0;
    } else if (argc == 5 && strcmp(argv[1], "shots") == 0) {
        rc = take_shots(display, argv[2], atof(argv[3]), argv[4]);
    } else if (argc == 3) {
        Window window = (Window)strtoul(argv[2], NULL, 0);
        if (strcmp(argv[1], "close") == 0) rc = close_window(display, window);
        if (strcmp(argv[1], "cursor") == 0) rc = cursor_state(display, window);
        if (strcmp(argv[1], "ping") == 0) rc = ping_window(display, window);
    }
    XCloseDisplay(display);
    return rc;
}
