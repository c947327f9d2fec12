// inspect-media FILE [--rgb OUT]
#include <cstdio>
#include <cstring>

#include "inspect.h"

namespace {

const char* const Usage =
    "usage: inspect-media FILE [--rgb OUT]\n"
    "Prints what the show's readers make of FILE: a 3D Studio mesh (.3ds), a bitmap (.bmp) or a Targa\n"
    "image (.tga).\n"
    "\n"
    "  --rgb OUT   write a picture's decoded R, G, B rows, bottom row first\n"
    "  --help      print this and exit\n";

// One line and exit code 2 for a command line it cannot take.
int refuse(const char* why, const char* what) {
    std::fprintf(stderr, "inspect-media: %s%s (inspect-media --help shows the usage)\n", why, what);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const char* file = nullptr;
    const char* rgb = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(Usage, stdout);
            return 0;
        }
    }
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rgb")) {
            if (i + 1 == argc) return refuse("--rgb needs a file name", "");
            rgb = argv[++i];
        } else if (argv[i][0] == '-') {
            return refuse("unknown option ", argv[i]);
        } else if (file) {
            return refuse("one file only; also given ", argv[i]);
        } else {
            file = argv[i];
        }
    }
    if (!file) return refuse("no file given", "");
    return inspect_media(file, rgb, stdout);
}
