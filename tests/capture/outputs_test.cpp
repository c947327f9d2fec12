// What capture writes, with the generated media: the tune over the range, the
// MP4 (checked by ffprobe and ffmpeg), the contact sheet, and outputs that
// never look finished when the capture fails or is interrupted.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>
#include <thread>

#include "capture_program.h"
#include "contact_sheet.h"
#include "font.h"
#include "timeline/media_table.h"

extern char** environ;

namespace {

const std::string Media = " --media " SHOW_MEDIA_DIR;

uint32_t le(const std::string& bytes, size_t at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | uint8_t(bytes[at + i]);
    return v;
}

TEST(CaptureOutputs, AudioIsTheShowsTuneFromTheFirstFramesTimeForExactlyTheRange) {
    // 17 frames at 16 a second from second 30: 1.0625 s, 46,856.25 samples.
    const std::string dir = fresh_dir("audio_test");
    ASSERT_EQ(run_capture("--fps 16 --from 30 --to 31 --audio " + dir + "/a.wav" + Media).status, 0);
    const std::string wav = file_text(dir + "/a.wav");
    ASSERT_GT(wav.size(), 12u);
    ASSERT_EQ(wav.substr(0, 4) + wav.substr(8, 4), "RIFFWAVE");
    std::map<std::string, std::pair<size_t, size_t>> chunks;  // id: offset, size
    for (size_t at = 12; at + 8 <= wav.size(); at += 8 + le(wav, at + 4, 4))
        chunks[wav.substr(at, 4)] = {at + 8, le(wav, at + 4, 4)};
    ASSERT_TRUE(chunks.count("fmt ") && chunks.count("data"));
    const size_t fmt = chunks["fmt "].first;
    EXPECT_EQ(le(wav, fmt, 2), 1u);           // PCM
    EXPECT_EQ(le(wav, fmt + 2, 2), 2u);       // stereo
    EXPECT_EQ(le(wav, fmt + 4, 4), 44100u);
    EXPECT_EQ(le(wav, fmt + 14, 2), 16u);
    const size_t samples = chunks["data"].second / 4;
    ASSERT_EQ(chunks["data"].first + samples * 4, wav.size());
    EXPECT_NEAR(double(samples), 17.0 / 16 * 44100, 1.0);

    // libopenmpt's own render of the tune as the show plays it, from second 0,
    // in chunks of another size.
    const std::string xm = file_text(std::string(SHOW_MEDIA_DIR "/") + TuneFile);
    openmpt_module* tune = openmpt_module_create_from_memory2(xm.data(), xm.size(), nullptr, nullptr, nullptr,
                                                              nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(tune, nullptr);
    openmpt_module_set_repeat_count(tune, -1);
    std::vector<int16_t> expected(samples * 2), skip(1000 * 2);
    for (size_t skipped = 0; skipped < 30 * 44100; skipped += 1000)
        openmpt_module_read_interleaved_stereo(tune, 44100, std::min<size_t>(1000, 30 * 44100 - skipped), skip.data());
    ASSERT_EQ(openmpt_module_read_interleaved_stereo(tune, 44100, samples, expected.data()), samples);
    openmpt_module_destroy(tune);

    std::vector<int16_t> got(samples * 2);
    std::memcpy(got.data(), wav.data() + chunks["data"].first, samples * 4);
    int loudest = 0;
    for (int16_t s : got) loudest = std::max(loudest, std::abs(int(s)));
    EXPECT_GT(loudest, 1000) << "silence";
    // libopenmpt dithers its 16-bit output with noise seeded per module, so two
    // renders (the show's included) differ in the last bit or two. A render
    // one sample early or late differs far more.
    auto mean_difference = [&](size_t shift) {
        double sum = 0;
        for (size_t i = 0; i + shift < got.size(); ++i) sum += std::abs(got[i + shift] - expected[i]);
        return sum / (got.size() - shift);
    };
    int worst = 0;
    for (size_t i = 0; i < got.size(); ++i) worst = std::max(worst, std::abs(got[i] - expected[i]));
    EXPECT_LE(worst, 3);
    EXPECT_LT(mean_difference(0), 1.5);
    EXPECT_GT(mean_difference(2), 30.0);
}

TEST(CaptureOutputs, UnfinishedOutputsNeverLookFinished) {
    // A file-size limit far under its 1.7 MB (256 blocks) fails the WAV part way through.
    const std::string dir = fresh_dir("unfinished_test");
    const CaptureRun limited = run_capture("--fps 10 --to 10 --audio " + dir + "/a.wav" + Media, "ulimit -f 256;");
    EXPECT_EQ(limited.status, 1);
    EXPECT_NE(limited.err.find("cannot write " + dir + "/a.wav"), std::string::npos) << limited.err;
    EXPECT_EQ(dir_entries(dir), std::set<std::string>{});

    // Ctrl-C while frames go to ffmpeg: the partial MP4, which ffmpeg has begun
    // to fill, and its sound track go.
    const std::string video = dir + "/v.mp4";
    std::vector<std::string> args = {CAPTURE_PROGRAM, "--fps", "10", "--video", video, "--media", SHOW_MEDIA_DIR};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid;
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    const std::string pending = "." + std::to_string(pid) + ".part";
    const std::string partial = video + pending;
    struct stat info;
    bool filling = false;
    for (int tries = 0; tries < 600 && !filling; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        filling = stat(partial.c_str(), &info) == 0 && info.st_size > 0;
    }
    const std::set<std::string> before = dir_entries(dir);
    kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(filling) << "ffmpeg never wrote into " << partial;
    EXPECT_EQ(before, (std::set<std::string>{"v.mp4" + pending, "v.mp4.sound.wav" + pending}));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
    EXPECT_EQ(dir_entries(dir), std::set<std::string>{});
}

// Key=value lines of ffprobe, one map per stream.
std::vector<std::map<std::string, std::string>> probe_streams(const std::string& file) {
    const std::string command = "ffprobe -v error -count_frames -show_entries stream=codec_type,codec_name,pix_fmt,"
                                "width,height,r_frame_rate,duration,nb_read_frames,sample_rate,channels "
                                "-of compact=nokey=0 " + file;
    std::vector<std::map<std::string, std::string>> streams;
    FILE* pipe = popen(command.c_str(), "r");
    char line[1024];
    while (pipe && std::fgets(line, sizeof line, pipe)) {
        std::map<std::string, std::string> fields;
        std::stringstream parts(std::string(line, std::strcspn(line, "\n")));
        for (std::string part; std::getline(parts, part, '|');) {
            const size_t equals = part.find('=');
            if (equals != std::string::npos) fields[part.substr(0, equals)] = part.substr(equals + 1);
        }
        streams.push_back(fields);
    }
    if (pipe) pclose(pipe);
    return streams;
}

TEST(CaptureOutputs, VideoHoldsEveryFrameOfTheRangeUprightWithTheTune) {
    // Seconds 20 to 23 at 10 frames a second: 31 frames, 3.1 s; frame 210 also as PNG.
    const std::string dir = fresh_dir("video_test");
    const std::string video = dir + "/v.mp4";
    const CaptureRun run = run_capture("--fps 10 --from 20 --to 23 --video " + video + " --at 21 --out " + dir + Media);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto streams = probe_streams(video);
    ASSERT_EQ(streams.size(), 2u);
    std::map<std::string, std::string> v = streams[0], a = streams[1];
    if (v["codec_type"] != "video") std::swap(v, a);
    EXPECT_EQ(v["codec_name"], "h264");
    EXPECT_EQ(v["pix_fmt"], "yuv420p");
    EXPECT_EQ(v["width"] + "x" + v["height"], "800x600");
    EXPECT_EQ(v["r_frame_rate"], "10/1");
    EXPECT_EQ(v["nb_read_frames"], "31");
    EXPECT_NEAR(std::atof(v["duration"].c_str()), 3.1, 0.001);
    EXPECT_EQ(a["codec_type"], "audio");
    EXPECT_EQ(a["sample_rate"] + "/" + a["channels"], "44100/2");
    EXPECT_NEAR(std::atof(a["duration"].c_str()), 3.1, 0.03);

    // The video's 11th frame is the PNG of second 21, the right way up.
    int width = 0, height = 0;
    const std::vector<uint8_t> png = read_png_rgb(dir + "/frame_000210.png", &width, &height);
    ASSERT_EQ(png.size(), 800u * 600 * 3);
    FILE* pipe = popen(("ffmpeg -v error -i " + video + " -vf 'select=eq(n\\,10)' -frames:v 1 -f rawvideo "
                        "-pix_fmt rgb24 -").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<uint8_t> decoded(png.size());
    const size_t got = std::fread(decoded.data(), 1, decoded.size(), pipe);
    pclose(pipe);
    ASSERT_EQ(got, decoded.size());
    double difference = 0, flipped = 0;
    for (size_t i = 0; i < png.size(); ++i) {
        const size_t mirror = (599 - i / 2400) * 2400 + i % 2400;
        difference += std::abs(int(decoded[i]) - png[i]);
        flipped += std::abs(int(decoded[mirror]) - png[i]);
    }
    EXPECT_LT(difference / png.size(), 4.0);
    EXPECT_GT(flipped / png.size(), 10.0);
}

// The text of a label band, read back dot by dot through the font.
std::string read_label(const std::vector<uint8_t>& rgb, int sheetWidth, int x, int y) {
    const std::string alphabet = "0123456789.";
    std::string text;
    for (int i = 0;; ++i) {
        unsigned char rows[7] = {};
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c) {
                const int px = x + SheetLayout::LabelInset + (i * 6 + c) * SheetLayout::LabelDot;
                const int py = y + SheetLayout::LabelInset + r * SheetLayout::LabelDot;
                if (rgb[(size_t(py) * sheetWidth + px) * 3] > 128) rows[r] |= uint8_t(16 >> c);
            }
        size_t match = 0;
        for (; match < alphabet.size() && std::memcmp(glyph_rows(alphabet[match]), rows, 7) != 0; ++match) {
        }
        if (match == alphabet.size()) return text;
        text += alphabet[match];
    }
}

TEST(CaptureOutputs, SheetShowsEachChosenFrameUnderItsSecond) {
    // Every 7th frame at 2 a second over the first three scenes: 16 frames, 3.5 s apart.
    const std::string dir = fresh_dir("sheet_test");
    const CaptureRun run = run_capture("--fps 2 --every 7 --to 53 --out " + dir + " --sheet " + dir + "/s.png" + Media);
    ASSERT_EQ(run.status, 0) << run.err;
    int width = 0, height = 0;
    const std::vector<uint8_t> sheet = read_png_rgb(dir + "/s.png", &width, &height);
    ASSERT_FALSE(sheet.empty());
    const SheetLayout layout = sheet_layout(16, 800, 600);
    EXPECT_EQ(width, layout.width);
    EXPECT_EQ(height, layout.height);
    EXPECT_GE(layout.columns * layout.rows, 16);  // a cell for every frame, no empty row
    EXPECT_LT(layout.columns * (layout.rows - 1), 16);

    for (int cell = 0; cell < 16; ++cell) {
        const int x = layout.cell_x(cell), y = layout.cell_y(cell);
        const std::string label = read_label(sheet, width, x, y + layout.thumbHeight);
        SCOPED_TRACE("cell " + std::to_string(cell) + " labelled " + label);
        EXPECT_EQ(std::atof(label.c_str()), cell * 3.5);
        char name[32];
        std::snprintf(name, sizeof name, "/frame_%06d.png", int(std::lround(std::atof(label.c_str()) * 2)));
        int fw = 0, fh = 0;
        const std::vector<uint8_t> frame = read_png_rgb(dir + name, &fw, &fh);
        ASSERT_EQ(frame.size(), 800u * 600 * 3);
        // The cell is the frame averaged over 5 by 5 pixels.
        int worst = 0;
        for (int ty = 0; ty < layout.thumbHeight; ++ty)
            for (int tx = 0; tx < layout.thumbWidth; ++tx)
                for (int c = 0; c < 3; ++c) {
                    int sum = 0;
                    for (int dy = 0; dy < 5; ++dy)
                        for (int dx = 0; dx < 5; ++dx) sum += frame[((ty * 5 + dy) * 800 + tx * 5 + dx) * 3 + c];
                    const int cellValue = sheet[(size_t(y + ty) * width + x + tx) * 3 + c];
                    worst = std::max(worst, std::abs(cellValue - (sum + 12) / 25));
                }
        EXPECT_EQ(worst, 0);
    }
}

}  // namespace
