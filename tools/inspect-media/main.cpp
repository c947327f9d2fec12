// inspect-media FILE [--rgb OUT]
#include <cstdio>
#include <cstring>

#include "inspect.h"

int main(int argc, char** argv) {
    const char* file = nullptr;
    const char* rgb = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rgb") == 0 && i + 1 < argc) {
            rgb = argv[++i];
        } else if (!file && argv[i][0] != '-') {
            file = argv[i];
        } else {
            file = nullptr;
            break;
        }
    }
    if (!file) {
        std::fprintf(stderr, "usage: inspect-media FILE [--rgb OUT]\n"
                             "  FILE: a 3D Studio mesh (.3ds), a bitmap (.bmp) or a Targa image (.tga)\n"
                             "  --rgb OUT: write a picture's decoded R, G, B rows, bottom row first\n");
        return 2;
    }
    return inspect_media(file, rgb, stdout);
}
