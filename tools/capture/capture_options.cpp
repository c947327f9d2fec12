// Command line of the capture tool.
#include "capture_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

const char* const CaptureUsage =
    "usage: capture --out DIR [--fps N] [--at S,S,...] [--every N [--from S] [--to S]] [--media DIR]\n"
    "  writes the chosen frames of the show as DIR/frame_NNNNNN.png; frame k is at second k / fps\n";

namespace {

bool parse_int(const std::string& text, int* out) {
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < 1 || value > 100000) return false;
    *out = int(value);
    return true;
}

// A second of the show, 0 up to the end of second 225.
bool parse_second(const std::string& text, double* out) {
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !(value >= 0.0) || value >= CaptureLastSecond + 1) return false;
    *out = value;
    return true;
}

int64_t last_frame(int fps) { return int64_t(CaptureLastSecond + 1) * fps - 1; }

int64_t first_frame_at(double second, int fps) {
    int64_t frame = int64_t(std::ceil(second * fps - 1e-9));
    return frame > last_frame(fps) ? last_frame(fps) : frame;
}

struct Raw {
    std::vector<std::string> at;
    int every = 0;
    double from = 0.0, to = CaptureLastSecond + 1;
};

bool fail(std::string* error, const std::string& message) {
    *error = message;
    return false;
}

bool expand_frames(const Raw& raw, CaptureOptions* options, std::string* error) {
    for (const std::string& text : raw.at) {
        double second;
        if (!parse_second(text, &second)) return fail(error, "--at: not a second of the show (0 to 225): " + text);
        options->frames.insert(first_frame_at(second, options->fps));
    }
    if (raw.every > 0) {
        if (raw.to < raw.from) return fail(error, "--to lies before --from");
        const int64_t first = first_frame_at(raw.from, options->fps);
        int64_t last = int64_t(std::floor(raw.to * options->fps + 1e-9));
        if (last > last_frame(options->fps)) last = last_frame(options->fps);
        for (int64_t k = first; k <= last; k += raw.every) options->frames.insert(k);
    }
    if (options->frames.empty()) return fail(error, "no frames chosen: give --at or --every");
    return true;
}

}  // namespace

bool parse_capture_options(const std::vector<std::string>& args, CaptureOptions* options, std::string* error) {
    Raw raw;
    bool fromGiven = false, toGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (i + 1 >= args.size()) return fail(error, "missing value after " + name);
        const std::string& value = args[++i];
        bool ok = true;
        if (name == "--fps") ok = parse_int(value, &options->fps);
        else if (name == "--every") ok = parse_int(value, &raw.every);
        else if (name == "--from") ok = fromGiven = parse_second(value, &raw.from);
        else if (name == "--to") ok = toGiven = parse_second(value, &raw.to);
        else if (name == "--out") options->outDir = value;
        else if (name == "--media") options->mediaDir = value;
        else if (name == "--at") {
            std::stringstream list(value);
            for (std::string item; std::getline(list, item, ',');) raw.at.push_back(item);
        } else
            return fail(error, "unknown option " + name);
        if (!ok) return fail(error, "bad value for " + name + ": " + value);
    }
    if (options->outDir.empty()) return fail(error, "--out DIR is required");
    if ((fromGiven || toGiven) && raw.every == 0) return fail(error, "--from and --to go with --every");
    return expand_frames(raw, options, error);
}
