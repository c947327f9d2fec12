// mediagen OUTDIR: writes every media file of the show into OUTDIR (made if
// missing) and prints one manifest line per file.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "media.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mediagen OUTDIR\n");
        return 2;
    }
    std::error_code made;
    std::filesystem::create_directories(argv[1], made);
    std::vector<std::string> manifest;
    std::string error;
    if (!generate_media(argv[1], &manifest, &error)) {
        std::fprintf(stderr, "mediagen: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& line : manifest) std::printf("%s\n", line.c_str());
    return 0;
}
