#pragma once
// The capture tool's command line: which frames of the show to write, where.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct CaptureOptions {
    int fps = 60;                 // frames per second of show time: frame k is at second k / fps
    std::set<int64_t> frames;     // the frames to write, by number
    std::string outDir;           // where the PNG files go
    std::string mediaDir = ".";   // the folder the show runs in
};

// The last second the show draws; second 226 ends it.
constexpr int CaptureLastSecond = 225;

// Parses the arguments after the program name. False with *error set on any
// unknown, missing or out-of-range value.
//   --fps N            frames per second (default 60)
//   --at S,S,...       the first frame of each of these seconds (decimals allowed)
//   --every N          every Nth frame of --from S (default 0) to --to S (default 225)
//   --out DIR          required
//   --media DIR        default: the working folder
bool parse_capture_options(const std::vector<std::string>& args, CaptureOptions* options, std::string* error);

extern const char* const CaptureUsage;
