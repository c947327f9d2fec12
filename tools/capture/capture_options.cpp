// Command line of the capture tool.
#include "capture_options.h"

#include "platform/letterbox.h"
#include "textures/render_target.h"
#include "timeline/scene_context.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

// Where the media are when --media is not given: the working folder, or the
// folder a package installed them in (SHOW_CAPTURE_INSTALLED_MEDIA).
#ifdef CAPTURE_INSTALLED_MEDIA
const char* const CaptureDefaultMedia = CAPTURE_INSTALLED_MEDIA;
#define CAPTURE_MEDIA_WORDS CAPTURE_INSTALLED_MEDIA
#else
const char* const CaptureDefaultMedia = ".";
#define CAPTURE_MEDIA_WORDS "the working folder"
#endif

std::string capture_usage() {
    const std::string last = std::to_string(LastSecond), end = std::to_string(LastSecond + 1);
    return
    "usage: capture [OPTION]...\n"
    "Renders the show offscreen at a fixed frame rate of show time (frame k is at second k / fps, its\n"
    "motion where the show's clock then stands: a second is the same motion at any rate)\n"
    "and writes any of: chosen frames as PNG, a contact sheet of them, the tune as WAV, the show as MP4.\n"
    "Seconds run from 0 to " + last + " (decimals allowed, below " + end + ").\n"
    "\n"
    "  --fps N          frames per second of show time (default 60)\n"
    "  --at S,S,...     choose the first frame of each of these seconds (default: none)\n"
    "  --every N        choose every Nth frame of the range (default: none)\n"
    "  --from S         first second of the range of --every, --audio and --video (default 0)\n"
    "  --to S           last second of the range, its frame included (default: the end of second " + last + ")\n"
    "  --out DIR        write the chosen frames as DIR/frame_NNNNNN.png (default: not written)\n"
    "  --sheet FILE     write the chosen frames, each labelled with its second, on one PNG contact sheet\n"
    "                   (default: none; at most 1000 frames)\n"
    "  --audio FILE     write the tune over the range as 44100 Hz 16-bit stereo WAV (default: none)\n"
    "  --video FILE     write the range as H.264 MP4 with the tune, through the ffmpeg program (default: none)\n"
    "  --preset NAME    x264 preset for --video, ultrafast to veryslow (default veryfast)\n"
    "  --scale N        draw the show at N times 800x600, 1 to 4, for every output (default 1, or\n"
    "                   with --size the least that covers the picture there)\n"
    "  --size WxH       make every output W by H pixels (even numbers, 160x120 to 7680x4320): the\n"
    "                   picture as large as fits, 4:3 kept, centred between black bars, each pixel\n"
    "                   the average of the frame's pixels it covers; 1920x1080 or 3840x2160 for\n"
    "                   video (default: the frame's own size)\n"
    "  --media DIR      the folder the show runs in, with its textures, meshes and tune\n"
    "                   (default: " CAPTURE_MEDIA_WORDS ")\n"
    "  --help           print this and exit\n"
    "\n"
    "Each output appears under its own name only when complete. Exit codes: 0 done, 1 a failure\n"
    "while capturing, 2 bad arguments, 130 or 143 stopped by a signal.\n";
}

namespace {

const char* const Presets[] = {"ultrafast", "superfast", "veryfast", "faster", "fast",
                               "medium",    "slow",      "slower",   "veryslow"};

bool parse_int(const std::string& text, int* out) {
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < 1 || value > 100000) return false;
    *out = int(value);
    return true;
}

// A second of the show, 0 up to the end of its last.
bool parse_second(const std::string& text, double* out) {
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !(value >= 0.0) || value >= LastSecond + 1) return false;
    *out = value;
    return true;
}

// "WxH", both even (H.264's colour planes are half size) and within bounds.
bool parse_size(const std::string& text, int* width, int* height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    int w = 0, h = 0;
    if (!parse_int(text.substr(0, x), &w) || !parse_int(text.substr(x + 1), &h)) return false;
    if (w < 160 || h < 120 || w > 7680 || h > 4320 || w % 2 || h % 2) return false;
    *width = w;
    *height = h;
    return true;
}

bool parse_preset(const std::string& text, std::string* out) {
    for (const char* name : Presets)
        if (text == name) return *out = text, true;
    return false;
}

int64_t last_frame(int fps) { return int64_t(LastSecond + 1) * fps - 1; }

// The first frame at or after the second (the tiny slack absorbs decimal
// seconds such as 0.1 that binary cannot hold exactly).
int64_t frame_at_or_after(double second, int fps) { return int64_t(std::ceil(second * fps - 1e-9)); }

struct Raw {
    std::vector<std::string> at;
    int every = 0;
    double from = 0.0, to = LastSecond + 1;
    bool fromGiven = false, toGiven = false;
};

bool fail(std::string* error, const std::string& message) {
    *error = message;
    return false;
}

bool choose_frames(const Raw& raw, CaptureOptions* options, std::string* error) {
    const int fps = options->fps;
    for (const std::string& text : raw.at) {
        double second;
        if (!parse_second(text, &second)) return fail(error, "--at: not a second of the show (0 to " + std::to_string(LastSecond) + "): " + text);
        int64_t frame = frame_at_or_after(second, fps);
        options->frames.insert(frame > last_frame(fps) ? last_frame(fps) : frame);
    }
    if (raw.to < raw.from) return fail(error, "--to lies before --from");
    options->rangeFirst = frame_at_or_after(raw.from, fps);
    options->rangeLast = std::min(int64_t(std::floor(raw.to * fps + 1e-9)), last_frame(fps));
    if (options->rangeFirst > options->rangeLast)
        return fail(error, "no frame lies between --from and --to at this --fps");
    if (raw.every > 0)
        for (int64_t k = options->rangeFirst; k <= options->rangeLast; k += raw.every) options->frames.insert(k);
    return true;
}

// Every option must serve an output, and every output must have what it needs.
bool check_combination(const Raw& raw, const CaptureOptions& options, std::string* error) {
    const bool pictures = !options.outDir.empty() || !options.sheetPath.empty();
    const bool chosen = !raw.at.empty() || raw.every > 0;
    const bool ranged = raw.every > 0 || !options.audioPath.empty() || !options.videoPath.empty();
    if (!pictures && options.audioPath.empty() && options.videoPath.empty())
        return fail(error, "nothing to write: give --out, --sheet, --audio or --video");
    if (pictures && !chosen) return fail(error, "no frames chosen for --out or --sheet: give --at or --every");
    if (chosen && !pictures) return fail(error, "--at and --every choose frames for --out or --sheet: give one");
    if ((raw.fromGiven || raw.toGiven) && !ranged)
        return fail(error, "--from and --to go with --every, --audio or --video");
    return true;
}

}  // namespace

bool parse_capture_options(const std::vector<std::string>& args, CaptureOptions* options, std::string* error) {
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h") return options->help = true;
    Raw raw;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name.rfind("--", 0) != 0) return fail(error, "unexpected argument " + name);
        std::string* text = name == "--out"     ? &options->outDir
                            : name == "--sheet" ? &options->sheetPath
                            : name == "--audio" ? &options->audioPath
                            : name == "--video" ? &options->videoPath
                            : name == "--media" ? &options->mediaDir
                                                : nullptr;
        const bool known = text || name == "--fps" || name == "--every" || name == "--from" || name == "--to" ||
                           name == "--at" || name == "--preset" || name == "--scale" || name == "--size";
        if (!known) return fail(error, "unknown option " + name);
        if (i + 1 >= args.size()) return fail(error, "missing value after " + name);
        const std::string& value = args[++i];
        bool ok = true;
        if (text) ok = !(*text = value).empty();
        else if (name == "--fps") ok = parse_int(value, &options->fps);
        else if (name == "--every") ok = parse_int(value, &raw.every);
        else if (name == "--from") ok = raw.fromGiven = parse_second(value, &raw.from);
        else if (name == "--to") ok = raw.toGiven = parse_second(value, &raw.to);
        else if (name == "--preset") ok = parse_preset(value, &options->preset);
        else if (name == "--scale") ok = parse_int(value, &options->scale) && options->scale <= MaxRenderScale;
        else if (name == "--size") ok = parse_size(value, &options->width, &options->height);
        else {
            std::stringstream list(value);
            for (std::string item; std::getline(list, item, ',');) raw.at.push_back(item);
            ok = !raw.at.empty();
        }
        if (!ok) return fail(error, "bad value for " + name + ": \"" + value + "\"");
    }
    if (!check_combination(raw, *options, error) || !choose_frames(raw, options, error)) return false;
    if (!options->sheetPath.empty() && options->frames.size() > SheetMaxFrames)
        return fail(error, "--sheet takes at most " + std::to_string(SheetMaxFrames) + " frames, not " +
                               std::to_string(options->frames.size()) + ": choose fewer with --every");
    return true;
}

int render_scale_for(const CaptureOptions& options) {
    if (options.scale > 0) return options.scale;
    if (options.width == 0) return 1;
    const platform::PictureRect picture = platform::letterbox(options.width, options.height, ScreenWidth, ScreenHeight);
    return platform::covering_scale(picture.width, picture.height, ScreenWidth, ScreenHeight, MaxRenderScale);
}
