#pragma once
// The capture tool's command line: which frames of the show to render, and
// which outputs to make of them.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "timeline/scene_table.h"

// The media folder when --media is not given ("." unless the build installs the media elsewhere).
extern const char* const CaptureDefaultMedia;

struct CaptureOptions {
    int fps = 60;                  // frames per second of show time: frame k is at second k / fps
    std::set<int64_t> frames;      // --at and --every: the frames written as PNG and laid on the sheet
    int64_t rangeFirst = 0;        // --from..--to as frame numbers, both included: what --every,
    int64_t rangeLast = 0;         // --audio and --video cover
    std::string outDir;            // PNG frames; empty: none
    std::string sheetPath;         // contact sheet of the chosen frames; empty: none
    std::string audioPath;         // the tune over the range as WAV; empty: none
    std::string videoPath;         // the range as MP4 with the tune; empty: none
    std::string preset = "veryfast";  // x264's speed against size
    int scale = 0;                 // --scale: the show drawn at scale times 800x600; 0: not given
    int width = 0, height = 0;     // --size: every output this size, the picture fitted in; 0: the frame's
    std::string mediaDir = CaptureDefaultMedia;  // the folder the show runs in
    bool help = false;             // --help: print the usage, nothing else
};

// Frames on one contact sheet at most (a sheet of 1,000 is 4,600 pixels square).
constexpr size_t SheetMaxFrames = 1000;

// Parses the arguments after the program name. False with *error set (one line)
// on an unknown option, a missing or out-of-range value, or a combination that
// would write nothing.
bool parse_capture_options(const std::vector<std::string>& args, CaptureOptions* options, std::string* error);

// The scale the show is drawn at: --scale's, else the smallest whose frame
// covers the picture's place in --size's frame, else 1.
int render_scale_for(const CaptureOptions& options);

// Every option with its default, for --help.
std::string capture_usage();
