/* Small X client for the end-to-end tests: what a window manager or a person
 * would do or see that xdotool cannot.
 *   xprobe close WINDOW    ask the window to close, as a title bar's close box does
 *   xprobe cursor WINDOW   print "hidden" or "visible" for the cursor over that window
 *   xprobe mode            print the screen's current size as WIDTHxHEIGHT
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(NULL);
    if (!display || argc < 2) return 2;
    int rc = 2;
    if (strcmp(argv[1], "mode") == 0) {
        Screen* screen = DefaultScreenOfDisplay(display);
        printf("%dx%d\n", WidthOfScreen(screen), HeightOfScreen(screen));
        rc = 0;
    } else if (argc == 3) {
        Window window = (Window)strtoul(argv[2], NULL, 0);
        if (strcmp(argv[1], "close") == 0) rc = close_window(display, window);
        if (strcmp(argv[1], "cursor") == 0) rc = cursor_state(display, window);
    }
    XCloseDisplay(display);
    return rc;
}
