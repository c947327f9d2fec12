#pragma once
// The show as an MP4 file: frames go down a pipe to Debian's ffmpeg program as
// they are drawn, so ffmpeg's encoder works beside the renderer and no frame
// waits in memory.
#include <sys/types.h>

#include <cstdint>
#include <string>

// True when `program` is an executable file on PATH.
bool program_on_path(const char* program);

class VideoEncoder {
public:
    ~VideoEncoder();  // an unfinished encoder is stopped

    // Starts ffmpeg writing `mp4Path`: H.264 in yuv420p at `fps` frames a second
    // with the given x264 preset, and the WAV file muxed in as AAC. Frames are
    // width by height BGRA, bottom row first, as glReadPixels gives them.
    bool start(const std::string& mp4Path, const std::string& wavPath, int width, int height, int fps,
               const std::string& preset, std::string* error);
    // Hands over one frame; blocks while ffmpeg is behind. False when ffmpeg has
    // stopped or a stop signal arrived.
    bool write_frame(const uint8_t* bgraBottomUp, std::string* error);
    // Ends the stream and waits for ffmpeg to finish the file.
    bool finish(std::string* error);
    // Stops ffmpeg at once; the file it was writing is left incomplete.
    void abort();

private:
    pid_t pid_ = -1;
    int pipe_ = -1;
    size_t frameBytes_ = 0;
};
