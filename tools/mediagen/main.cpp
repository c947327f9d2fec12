// mediagen OUTDIR: writes every media file of the show into OUTDIR (made if
// missing) and prints one manifest line per file.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "media.h"
#include "tool_usage.h"

namespace {

const char* const Usage =
    "usage: mediagen OUTDIR\n"
    "Writes every media file the show reads (its Targa textures, 3D Studio meshes, their bitmaps and\n"
    "the tune) into OUTDIR, made if missing, and prints one line per file. The same bytes on every run.\n"
    "\n"
    "  --help    print this and exit\n";

int refuse(const std::string& why) { return refuse_command_line("mediagen", why); }

}  // namespace

int main(int argc, char** argv) {
    const char* outDir = nullptr;
    if (print_usage_if_asked(argc, argv, Usage)) return 0;
    for (int i = 1; i < argc; ++i) {
        // A folder whose name starts with '-' is still reachable as ./-name.
        if (argv[i][0] == '-') return refuse(std::string("unknown option ") + argv[i]);
        if (outDir) return refuse(std::string("one output folder only; also given ") + argv[i]);
        outDir = argv[i];
    }
    if (!outDir) return refuse("no output folder given");
    std::error_code made;
    std::filesystem::create_directories(outDir, made);
    std::vector<std::string> manifest;
    std::string error;
    if (!generate_media(outDir, &manifest, &error)) {
        std::fprintf(stderr, "mediagen: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& line : manifest) std::printf("%s\n", line.c_str());
    return 0;
}
