/* What a Windows user would see of a top-level window, asked of Windows
 * itself (under Wine), where X only sees Wine's drawing:
 *   winprobe texts TITLE    the window's controls' texts, one a line, in order
 *   winprobe client TITLE   its client area: WIDTHxHEIGHT+X+Y on the screen
 *   winprobe frame TITLE    its outer rectangle: WIDTHxHEIGHT+X+Y
 *   winprobe close TITLE    asks it to close, as its close box does
 * Exit code 1 when no visible window has that title. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

static BOOL CALLBACK print_text(HWND child, LPARAM unused) {
    char text[1024];
    (void)unused;
    if (IsWindowVisible(child) && GetWindowTextA(child, text, sizeof text) > 0) printf("%s\n", text);
    return TRUE;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: winprobe texts|client|frame|close TITLE\n");
        return 2;
    }
    HWND window = FindWindowA(NULL, argv[2]);
    if (!window || !IsWindowVisible(window)) return 1;
    if (strcmp(argv[1], "texts") == 0) {
        EnumChildWindows(window, print_text, 0);
    } else if (strcmp(argv[1], "client") == 0) {
        RECT client;
        POINT origin = {0, 0};
        GetClientRect(window, &client);
        ClientToScreen(window, &origin);
        printf("%ldx%ld+%ld+%ld\n", client.right, client.bottom, origin.x, origin.y);
    } else if (strcmp(argv[1], "frame") == 0) {
        RECT frame;
        GetWindowRect(window, &frame);
        printf("%ldx%ld+%ld+%ld\n", frame.right - frame.left, frame.bottom - frame.top, frame.left, frame.top);
    } else if (strcmp(argv[1], "close") == 0) {
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        fprintf(stderr, "winprobe: unknown question %s\n", argv[1]);
        return 2;
    }
    return 0;
}
