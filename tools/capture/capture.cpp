// capture: renders the show offscreen at a fixed frame rate of show time and
// writes what was asked of it: chosen frames as PNG and on a contact sheet, the
// tune as WAV, the show as MP4. The show runs unchanged; only its seams
// differ: the calendar clock reads the simulated second of the frame being
// drawn, the frame's motion stands where that clock does (frame k at 60k / fps
// sixtieths of a second, so a second of show time is the same motion at any
// rate), and presenting a frame means reading its pixels.
#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "capture_options.h"
#include "contact_sheet.h"
#include "fit_frame.h"
#include "pending_file.h"
#include "platform/offscreen.h"
#include "platform/platform.h"
#include "png_file.h"
#include "progress.h"
#include "shell/shell.h"
#include "textures/render_target.h"
#include "timeline/demo.h"
#include "tune_wav.h"
#include "video_encoder.h"

namespace {

constexpr int BadInput = 2, Failed = 1;

CaptureOptions Options;
int64_t Frame = 0;  // the frame being drawn, by number

// What the run is making; the frame presenter adds to it as frames are drawn.
struct Outputs {
    std::unique_ptr<PendingFile> sheetFile, audioFile, videoFile, soundTrack;
    std::unique_ptr<ContactSheet> sheet;
    VideoEncoder video;
    int frameWidth = 0, frameHeight = 0;  // as drawn: the render scale times 800x600
    int width = 0, height = 0;         // every output's: --size, else the frame's
    std::vector<uint8_t> pixels, rgb;  // the frame just drawn (BGRA, bottom row first); a PNG's rows
    std::vector<uint8_t> fitted;       // with --size: the frame fitted into the output's size
    Progress* progress = nullptr;      // while frames are drawn
    int sheetCells = 0;
    std::string error;                 // the first failure; empty while all is well
} Out;

int64_t simulated_calendar() { return SimulatedClockOrigin + Frame / Options.fps; }
FrameMotion simulated_motion() { return {60.0 * double(Frame) / Options.fps, 60.0 / Options.fps}; }

bool fail(const std::string& message) {
    if (Out.error.empty()) Out.error = message;
    return false;
}

// The frame as every output takes it.
const uint8_t* output_pixels() { return Out.fitted.empty() ? Out.pixels.data() : Out.fitted.data(); }

void write_png_frame() {
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06lld.png", static_cast<long long>(Frame));
    PendingFile file(Options.outDir + name);
    std::string error;
    if (!file.create(&error)) return (void)fail(error);
    frame_to_rgb(output_pixels(), Out.width, Out.height, &Out.rgb);
    if (!write_png(file.temporary(), Out.width, Out.height, Out.rgb.data()))
        return (void)fail("cannot write " + file.final());
    if (!file.commit(&error)) return (void)fail(error);
    Out.progress->clear_line();
    std::printf("%s  second %.3f\n", file.final().c_str(), double(Frame) / Options.fps);
    std::fflush(stdout);
}

// The frame presenter: reads the pixels once, for every output that wants this frame.
void take_frame() {
    const bool chosen = Options.frames.count(Frame) != 0;
    const bool filmed = !Options.videoPath.empty() && Frame >= Options.rangeFirst && Frame <= Options.rangeLast;
    if (!Out.error.empty() || (!chosen && !filmed)) return;
    // BGRA is the pixel buffer's own layout: Mesa copies it without converting.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Out.frameWidth, Out.frameHeight, GL_BGRA, GL_UNSIGNED_BYTE, Out.pixels.data());
    if (Options.width)
        fit_frame(Out.pixels.data(), Out.frameWidth, Out.frameHeight, Out.width, Out.height, &Out.fitted);
    std::string error;
    if (filmed && !Out.video.write_frame(output_pixels(), &error)) return (void)fail(error);
    if (chosen && !Options.outDir.empty()) write_png_frame();
    if (chosen && Out.sheet) Out.sheet->add(Out.sheetCells++, output_pixels(), second_label(Frame, Options.fps));
}

// A file output, created empty under its temporary name at once: an output
// that cannot be written is refused before any work is done.
bool prepare_file(const std::string& path, std::unique_ptr<PendingFile>* file) {
    if (path.empty()) return true;
    file->reset(new PendingFile(path));
    std::string error;
    return (*file)->create(&error) || fail(error);
}

bool prepare_outputs() {
    const int scale = render_scale_for(Options);
    Out.frameWidth = ScreenWidth * scale;
    Out.frameHeight = ScreenHeight * scale;
    Out.width = Options.width ? Options.width : Out.frameWidth;
    Out.height = Options.width ? Options.height : Out.frameHeight;
    set_render_scale(scale);
    if (!Options.outDir.empty()) {
        std::error_code failed;
        std::filesystem::path out = std::filesystem::absolute(Options.outDir, failed);
        if (!failed) std::filesystem::create_directories(out, failed);
        if (failed) return fail("cannot make " + Options.outDir + ": " + failed.message());
        Options.outDir = out.string();
    }
    if (!Options.sheetPath.empty())
        Out.sheet.reset(new ContactSheet(int(Options.frames.size()), Out.width, Out.height));
    // Without --audio the video's sound track is a scratch file beside it, removed at the end.
    const std::string soundTrack = Options.audioPath.empty() && !Options.videoPath.empty()
                                       ? Options.videoPath + ".sound.wav" : "";
    return prepare_file(Options.sheetPath, &Out.sheetFile) && prepare_file(Options.audioPath, &Out.audioFile) &&
           prepare_file(Options.videoPath, &Out.videoFile) && prepare_file(soundTrack, &Out.soundTrack);
}

// The WAV of the range: --audio's file, or the video's scratch sound track.
PendingFile* sound_track() { return Out.audioFile ? Out.audioFile.get() : Out.soundTrack.get(); }

// The tune over the range, rendered before the frames: ffmpeg reads it whole.
bool write_sound_track() {
    PendingFile* track = sound_track();
    if (!track) return true;
    const std::string tune = (std::filesystem::absolute(Options.mediaDir) / TuneFile).string();
    const int64_t first = tune_sample_at_frame(Options.rangeFirst, Options.fps);
    const int64_t end = tune_sample_at_frame(Options.rangeLast + 1, Options.fps);
    bool silent = false;
    std::string error;
    if (!write_tune_wav(tune, first, end - first, track->temporary(), &silent, &error))
        return fail("cannot write " + track->final() + ": " + error);
    if (silent)
        std::fprintf(stderr, "capture: no playable tune at %s: the sound is silence, as in the show\n", tune.c_str());
    return true;
}

bool start_video() {
    if (!Out.videoFile) return true;
    std::string error;
    return Out.video.start(Out.videoFile->temporary(), sound_track()->temporary(), Out.width, Out.height,
                           Options.fps, Options.preset, &error) ||
           fail(error);
}

// What the window set-up does once the context is current, then every frame
// from the first up to the last one wanted: the show's state at a frame
// depends on all the frames before it.
bool draw_frames(int64_t last) {
    std::string error;
    if (!platform::open_offscreen_context(Out.frameWidth, Out.frameHeight, &error))
        return fail("offscreen OpenGL context: " + error);
    Out.pixels.resize(size_t(Out.frameWidth) * Out.frameHeight * 4);
    if (!start_offline_show(Options.mediaDir.c_str(), simulated_calendar, take_frame, Out.frameWidth, Out.frameHeight))
        return fail("cannot enter the media folder " + Options.mediaDir);
    set_motion_source(simulated_motion);
    Progress progress(last + 1);
    Out.progress = &progress;
    for (Frame = 0; Frame <= last && Out.error.empty() && !StopSignal; ++Frame) {
        draw_frame();
        progress.frame_done();
    }
    progress.finish();
    Out.progress = nullptr;
    platform::close_offscreen_context();
    return Out.error.empty();
}

// The outputs under their own names, once each is complete.
bool finish_outputs() {
    std::string error;
    if (Out.videoFile && !Out.video.finish(&error)) return fail(error);
    if (Out.sheet && !write_png(Out.sheetFile->temporary(), Out.sheet->layout().width, Out.sheet->layout().height,
                                Out.sheet->rgb().data()))
        return fail("cannot write " + Out.sheetFile->final());
    for (auto* file : {&Out.videoFile, &Out.audioFile, &Out.sheetFile})
        if (*file && !(*file)->commit(&error)) return fail(error);
    return true;
}

// The frames to draw: up to the last chosen frame or the end of the filmed range.
int64_t last_frame_wanted() {
    int64_t last = -1;
    if (!Options.frames.empty()) last = *Options.frames.rbegin();
    if (!Options.videoPath.empty()) last = std::max(last, Options.rangeLast);
    return last;
}

int run() {
    std::error_code ignored;
    if (!std::filesystem::is_directory(Options.mediaDir, ignored)) {
        std::fprintf(stderr, "capture: no media folder %s\n", Options.mediaDir.c_str());
        return BadInput;
    }
    if (!Options.videoPath.empty() && !program_on_path("ffmpeg")) {
        std::fprintf(stderr, "capture: --video needs the ffmpeg program (Debian's ffmpeg package); none is on PATH\n");
        return BadInput;
    }
    install_stop_handlers();
    if (!prepare_outputs()) {
        std::fprintf(stderr, "capture: %s\n", Out.error.c_str());
        return BadInput;
    }
    const int64_t last = last_frame_wanted();
    const bool done = write_sound_track() && start_video() && (last < 0 || draw_frames(last)) && !StopSignal &&
                      finish_outputs();
    if (StopSignal) {
        std::fprintf(stderr, "capture: stopped by signal %d; unfinished outputs removed\n", int(StopSignal));
        return 128 + StopSignal;
    }
    if (!done) std::fprintf(stderr, "capture: %s\n", Out.error.c_str());
    return done ? 0 : Failed;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    if (!parse_capture_options(std::vector<std::string>(argv + 1, argv + argc), &Options, &error)) {
        std::fprintf(stderr, "capture: %s (capture --help lists the options)\n", error.c_str());
        return BadInput;
    }
    if (Options.help) {
        std::fputs(capture_usage().c_str(), stdout);
        return 0;
    }
    // A media error is told on stderr and the capture goes on, as the show
    // would once its box is answered: only the show opens boxes.
    static platform::PrintingMessageSink boxes;
    platform::set_message_sink(&boxes);
    const int status = run();
    // What was not committed goes: an unfinished file never stays behind.
    Out.video.abort();
    for (auto* file : {&Out.videoFile, &Out.audioFile, &Out.sheetFile, &Out.soundTrack}) file->reset();
    return status;
}
