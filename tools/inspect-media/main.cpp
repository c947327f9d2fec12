// inspect-media FILE [--rgb OUT]
#include <cstdio>
#include <cstring>
#include <string>

#include "inspect.h"
#include "tool_usage.h"

namespace {

const char* const Usage =
    "usage: inspect-media FILE [--rgb OUT]\n"
    "Prints what the show's readers make of FILE: a 3D Studio mesh (.3ds), a bitmap (.bmp) or a Targa\n"
    "image (.tga).\n"
    "\n"
    "  --rgb OUT   write a picture's decoded R, G, B rows, bottom row first\n"
    "  --help      print this and exit\n";

int refuse(const std::string& why) { return refuse_command_line("inspect-media", why); }

}  // namespace

int main(int argc, char** argv) {
    const char* file = nullptr;
    const char* rgb = nullptr;
    if (print_usage_if_asked(argc, argv, Usage)) return 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rgb")) {
            if (i + 1 == argc) return refuse("--rgb needs a file name");
            rgb = argv[++i];
        } else if (argv[i][0] == '-') {
            return refuse(std::string("unknown option ") + argv[i]);
        } else if (file) {
            return refuse(std::string("one file only; also given ") + argv[i]);
        } else {
            file = argv[i];
        }
    }
    if (!file) return refuse("no file given");
    return inspect_media(file, rgb, stdout);
}
