// The bitmap reader: every encoding against one picture, and every refusal.
#include "models/dib_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/platform.h"
#include "tests/models/file_writers.h"

namespace {

using namespace writers;

// The picture every encoding must give: 6 by 4, colour-table indices, bottom
// row first. Row 3 is left black so that an RLE stream can end before it.
const int W = 6, H = 4;
const uint8_t Indices[H][W] = {{1, 1, 1, 2, 3, 4}, {2, 3, 4, 0, 0, 0}, {0, 0, 4, 4, 0, 0}, {0, 0, 0, 0, 0, 0}};
// Channels that 5-bit (and, for green, 6-bit) fields give back exactly once
// widened, each different per channel; white must stay white.
const std::vector<uint32_t> Palette = {0x000000, 0xFF1008, 0x00F742, 0x4208F7, 0xFFFFFF};

Bytes expected_rgb() {
    Bytes out;
    for (const auto& row : Indices) {
        for (uint8_t i : row) out = cat({out, Bytes{uint8_t(Palette[i] >> 16), uint8_t(Palette[i] >> 8), uint8_t(Palette[i])}});
    }
    return out;
}

std::vector<uint32_t> palette_of(size_t entries) {
    std::vector<uint32_t> p = Palette;
    p.resize(entries, 0x7F7F7F);
    return p;
}

// One pixel field: the 8-bit channel cut to the mask's width, at its place.
uint32_t field(uint8_t channel, uint32_t mask) {
    int shift = __builtin_ctz(mask), width = 32 - __builtin_clz(mask >> shift);
    return uint32_t(width <= 8 ? channel >> (8 - width) : channel << (width - 8)) << shift;
}

// Uncompressed rows of the picture, each filled to 4 bytes, in file order.
Bytes rows(int bits, bool topDown = false, std::vector<uint32_t> masks = {}) {
    if (masks.empty()) masks = bits == 16 ? std::vector<uint32_t>{0x7C00, 0x03E0, 0x001F}
                                          : std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF};
    Bytes out;
    for (int r = 0; r < H; ++r) {
        const uint8_t* row = Indices[topDown ? H - 1 - r : r];
        Bytes line((size_t(bits) * W + 31) / 32 * 4, 0);
        for (int x = 0; x < W; ++x) {
            uint32_t c = Palette[row[x]];
            uint32_t packed = field(uint8_t(c >> 16), masks[0]) | field(uint8_t(c >> 8), masks[1]) | field(uint8_t(c), masks[2]);
            if (bits <= 8) line[size_t(x * bits / 8)] |= uint8_t(row[x] << (8 - bits - x * bits % 8));
            if (bits == 24) line[size_t(x * 3)] = uint8_t(c), line[size_t(x * 3 + 1)] = uint8_t(c >> 8), line[size_t(x * 3 + 2)] = uint8_t(c >> 16);
            if (bits == 16 || bits == 32) {
                for (int k = 0; k < bits / 8; ++k) line[size_t(x * bits / 8 + k)] = uint8_t(packed >> (8 * k));
            }
        }
        out = cat({out, line});
    }
    return out;
}

// The picture as RLE8: runs, an absolute run with its pad byte, end of line,
// delta right and up, end of bitmap before the black top row.
const Bytes Rle8 = {3, 1, 1, 2, 1, 3, 1, 4, 0, 0,  // row 0
                    0, 3, 2, 3, 4, 0, 0, 0,        // row 1: absolute 2 3 4, pad, end of line
                    0, 2, 2, 0, 2, 4, 0, 2, 0, 1,  // row 2: delta +2, run of 4, delta up
                    0, 1};                         // end of bitmap
// RLE4: a run of alternating nibbles, an absolute run of 5 nibbles padded to a word.
const Bytes Rle4 = {3, 0x11, 2, 0x23, 1, 0x40, 0, 0,
                    0, 5, 0x23, 0x40, 0x00, 0, 0, 0,
                    0, 2, 2, 0, 2, 0x44, 0, 2, 0, 1,
                    0, 1};

Bitmap bitmap(uint16_t bits, Bytes pixels, std::vector<uint32_t> palette = {}) {
    Bitmap b;
    b.width = W, b.height = H, b.bits = bits, b.pixels = std::move(pixels), b.palette = std::move(palette);
    return b;
}

// One way of storing the picture, each row whole: the pixels are the plain
// rows of its depth (bottom-up or top-down, with its bit fields), or the RLE
// stream its compression names.
struct EncodingCase {
    const char* name;
    uint16_t bits;
    size_t paletteEntries;  // 0: none
    uint32_t compression;   // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    std::vector<uint32_t> masks;
    uint32_t coloursUsed;
    bool core, fileHeader, topDown;
};

const EncodingCase Encodings[] = {
    {"8 bits, 256 colours", 8, 256, 0, {}, 0, false, true, false},
    {"8 bits, colours used 16", 8, 16, 0, {}, 16, false, true, false},
    {"4 bits", 4, 16, 0, {}, 0, false, true, false},
    {"16 bits 5-5-5", 16, 0, 0, {}, 0, false, true, false},
    {"16 bits, 5-6-5 bit fields", 16, 0, 3, {0xF800, 0x07E0, 0x001F}, 0, false, true, false},
    {"24 bits", 24, 0, 0, {}, 0, false, true, false},
    {"32 bits", 32, 0, 0, {}, 0, false, true, false},
    {"32 bits, bit fields R G B from the low byte up", 32, 0, 3, {0xFF, 0xFF00, 0xFF0000}, 0, false, true, false},
    {"RLE8", 8, 256, 1, {}, 0, false, true, false},
    {"RLE4", 4, 16, 2, {}, 0, false, true, false},
    {"core header, 8 bits", 8, 256, 0, {}, 0, true, true, false},
    {"core header, 24 bits", 24, 0, 0, {}, 0, true, true, false},
    {"no file header, 8 bits", 8, 256, 0, {}, 0, false, false, false},
    {"no file header, core header, 4 bits", 4, 16, 0, {}, 0, true, false, false},
    {"top-down, 24 bits", 24, 0, 0, {}, 0, false, true, true},
    {"top-down, 4 bits", 4, 16, 0, {}, 0, false, true, true},
};

Bitmap file_of(const EncodingCase& c) {
    const Bytes pixels = c.compression == 1 ? Rle8 : c.compression == 2 ? Rle4 : rows(c.bits, c.topDown, c.masks);
    Bitmap b = bitmap(c.bits, pixels, c.paletteEntries ? palette_of(c.paletteEntries) : std::vector<uint32_t>{});
    b.compression = c.compression, b.masks = c.masks, b.coloursUsed = c.coloursUsed;
    b.core = c.core, b.fileHeader = c.fileHeader;
    if (c.topDown) b.height = -H;
    return b;
}

TEST(DibDecode, EveryEncodingGivesTheSamePicture) {
    for (const EncodingCase& c : Encodings) {
        RgbImage image{};
        Bytes file = bmp(file_of(c));
        ASSERT_EQ(decode_dib(file.data(), file.size(), &image), DibResult::Ok) << c.name;
        EXPECT_EQ(image.width, W) << c.name;
        EXPECT_EQ(image.height, H) << c.name;
        EXPECT_EQ(image.pixels, expected_rgb()) << c.name;
    }
}

// 5-5-5 pixels without masks: each field is widened by repeating its top
// bits, so the full field is 255 and the scale has no gap at the top; the
// unused top bit of the pixel shows nowhere.
TEST(DibDecode, SixteenBitFieldsWidenToTheFullRange) {
    struct Case { uint16_t pixel; Bytes rgb; } cases[] = {
        {0x7FFF, {255, 255, 255}}, {0xFFFF, {255, 255, 255}}, {0x0000, {0, 0, 0}}, {0x8000, {0, 0, 0}},
        {0x7C00, {255, 0, 0}},     {0x03E0, {0, 255, 0}},     {0x001F, {0, 0, 255}},
        {0x4210, {0x84, 0x84, 0x84}},  // 10000 in each field
        {0x0421, {0x08, 0x08, 0x08}},  // 00001
        {0x3DEF, {0x7B, 0x7B, 0x7B}},  // 01111
    };
    for (const Case& c : cases) {
        Bitmap b = bitmap(16, cat({u16(c.pixel), u16(0)}));
        b.width = 1, b.height = 1;
        Bytes file = bmp(b);
        RgbImage image{};
        ASSERT_EQ(decode_dib(file.data(), file.size(), &image), DibResult::Ok) << c.pixel;
        EXPECT_EQ(image.pixels, c.rgb) << std::hex << c.pixel;
    }
}

TEST(DibDecode, OneBitMapsZeroAndOneToTheFirstTwoEntries) {
    // 10 pixels: the row crosses a byte and is filled to 4 bytes.
    Bitmap b = bitmap(1, {0b10110000, 0b01000000, 0xEE, 0xEE}, {0x102030, 0xC89664});
    b.width = 10, b.height = 1;
    Bytes file = bmp(b);
    RgbImage image{};
    ASSERT_EQ(decode_dib(file.data(), file.size(), &image), DibResult::Ok);
    const char* bits = "1011000001";
    for (int x = 0; x < 10; ++x) {
        Bytes want = bits[x] == '1' ? Bytes{200, 150, 100} : Bytes{16, 32, 48};
        EXPECT_EQ(Bytes(image.pixels.begin() + x * 3, image.pixels.begin() + x * 3 + 3), want) << x;
    }
}

TEST(DibDecode, TwentyFourBitRowFillIsSkippedForWidthsOneToFour) {
    for (int width = 1; width <= 4; ++width) {
        Bytes stored, want;
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < width; ++x) {
                uint8_t v = uint8_t(10 * y + x + 1);
                stored = cat({stored, Bytes{v, uint8_t(v + 100), uint8_t(v + 200)}});
                want = cat({want, Bytes{uint8_t(v + 200), uint8_t(v + 100), v}});
            }
            stored.resize((stored.size() + 3) / 4 * 4, 0xEE);  // fill bytes that must not show
        }
        Bitmap b = bitmap(24, stored);
        b.width = width, b.height = 2;
        Bytes file = bmp(b);
        RgbImage image{};
        ASSERT_EQ(decode_dib(file.data(), file.size(), &image), DibResult::Ok) << width;
        EXPECT_EQ(image.pixels, want) << width;
    }
}

// Runs and deltas that leave the picture are cut at its edge, never wrapped
// onto the next row; an index past the colour table gives black (and reads
// nothing past it: the sanitizer build sees that).
TEST(DibDecode, RleRunsAndDeltasAreClippedToThePicture) {
    Bitmap b = bitmap(8, {9, 1,            // run of 9 over a row of 3: the rest is dropped
                          0, 0,            // end of line
                          0, 2, 200, 0,    // delta far right: nothing more on this row
                          0, 4, 2, 2, 2, 2,  // absolute run past the edge
                          0, 0, 2, 7,      // end of line; 2 pixels of index 7, past the table
                          0, 2, 0, 250,    // delta far above the picture
                          3, 2}, palette_of(5));
    b.compression = 1, b.width = 3, b.height = 3, b.coloursUsed = 5;
    Bytes file = bmp(b);
    RgbImage image{};
    ASSERT_EQ(decode_dib(file.data(), file.size(), &image), DibResult::Ok);
    Bytes red = {0xFF, 0x10, 0x08}, black = {0, 0, 0};
    EXPECT_EQ(image.pixels, cat({red, red, red, black, black, black, black, black, black}));
}

// A stream may end long before its picture does: the rest stays black. Only
// a picture past ordinary sizes must be backed by enough stream.
TEST(DibDecode, SparseRleStreamsLeaveTheRestBlack) {
    Bitmap sparse = bitmap(8, {2, 1, 0, 1}, palette_of(5));  // two pixels, then end of bitmap
    sparse.compression = 1, sparse.width = 1024, sparse.height = 1024, sparse.coloursUsed = 5;
    Bytes file = bmp(sparse);
    RgbImage image{};
    ASSERT_EQ(decode_dib(file.data(), file.size(), &image), DibResult::Ok);
    ASSERT_EQ(image.pixels.size(), size_t(1024) * 1024 * 3);
    EXPECT_EQ(Bytes(image.pixels.begin(), image.pixels.begin() + 9), (Bytes{0xFF, 0x10, 0x08, 0xFF, 0x10, 0x08, 0, 0, 0}));
    EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), 0), long(image.pixels.size() - 6));

    sparse.width = 8192, sparse.height = 8192;  // 201 MB of picture from a few bytes
    file = bmp(sparse);
    EXPECT_EQ(decode_dib(file.data(), file.size(), &image), DibResult::ConversionError);
}

TEST(DibColourCount, FromColoursUsedOrDepth) {
    struct Case { uint32_t size; uint16_t bits; uint32_t used; uint32_t want; } cases[] = {
        {40, 1, 0, 2}, {40, 4, 0, 16}, {40, 8, 0, 256}, {40, 16, 0, 0}, {40, 24, 0, 0}, {40, 32, 0, 0},
        {40, 8, 16, 16}, {40, 24, 3, 3}, {40, 8, 0x10005, 5}, {12, 8, 16, 256}, {12, 24, 0, 0},
    };
    for (const Case& c : cases) {
        DibHeader h{};
        h.size = c.size, h.bitsPerPixel = c.bits, h.coloursUsed = c.used;
        EXPECT_EQ(dib_colour_count(h), c.want) << c.size << " " << c.bits << " " << c.used;
    }
}

class DibFile : public ::testing::Test {
protected:
    void SetUp() override { platform::set_message_sink(&sink); }
    void TearDown() override { platform::set_message_sink(nullptr); }
    std::string path(const char* name) { return testing::TempDir() + name; }
    platform::RecordingMessageSink sink;
};

TEST_F(DibFile, ReadsAFileAndShowsNothing) {
    ASSERT_TRUE(write_file(path("good.bmp"), bmp(bitmap(24, rows(24)))));
    std::unique_ptr<RgbImage> image = load_dib_image(path("good.bmp").c_str());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, expected_rgb());
    EXPECT_TRUE(sink.boxes.empty());
}

// Each malformed file beside the valid one it was made from; one box each.
TEST_F(DibFile, EachFailureShowsItsOneMessage) {
    const Bytes good = bmp(bitmap(24, rows(24)));
    auto with = [&](size_t offset, Bytes bytes) {
        Bytes file = good;
        std::copy(bytes.begin(), bytes.end(), file.begin() + long(offset));
        return file;
    };
    Bitmap tooManyColours = bitmap(8, rows(8), palette_of(16));
    tooManyColours.coloursUsed = 4000;
    Bitmap masksCut = bitmap(32, {});  // the three masks should follow the header
    masksCut.compression = 3;
    Bitmap rleTopDown = bitmap(8, Rle8, palette_of(256));
    rleTopDown.compression = 1, rleTopDown.height = -H;
    const std::string unknown = "Unknown DIB file format.", memory = "Out of memory.",
                      conversion = "Image file conversion error.";
    struct Case { const char* name; Bytes file; std::string message; } cases[] = {
        {"empty file", {}, "Failed to open DIB file " + path("bad.bmp") + ".\n"},
        {"header size 108", with(14, u32(108)), unknown},
        {"header size 124", with(14, u32(124)), unknown},
        {"another format without BM", cat({Bytes{'G', 'I', 'F', '8', '9', 'a'}, Bytes(40, 0)}), unknown},
        {"header cut short", Bytes(good.begin(), good.begin() + 30), unknown},
        {"colour table past the end", bmp(tooManyColours), unknown},
        {"bit-field masks cut off", bmp(masksCut), unknown},
        {"width 0", with(18, u32(0)), memory},
        {"negative width", with(18, u32(uint32_t(-6))), memory},
        {"height 0", with(22, u32(0)), memory},
        {"pixel count past 32 bits", with(18, cat({u32(0x10000), u32(0x10000)})), memory},
        {"picture over 2 GiB", with(18, cat({u32(30000), u32(30000)})), memory},
        {"pixel offset past the end", with(10, u32(100000)), conversion},
        {"rows past the end", Bytes(good.begin(), good.end() - 1), conversion},
        {"more rows than the file holds", with(22, u32(5)), conversion},
        {"depth 7", with(28, u16(7)), conversion},
        {"compression 4 (JPEG)", with(30, u32(4)), conversion},
        {"RLE8 on 24 bits", with(30, u32(1)), conversion},
        {"RLE top-down", bmp(rleTopDown), conversion},
        // No target for the picture comes before any conversion is tried.
        {"width 0 and depth 7", with(18, cat({u32(0), u32(H), u16(1), u16(7)})), memory},
        {"picture over 2 GiB, RLE8 on 24 bits", with(18, cat({u32(30000), u32(30000), u16(1), u16(24), u32(1)})), memory},
    };
    for (const Case& c : cases) {
        sink.boxes.clear();
        ASSERT_TRUE(write_file(path("bad.bmp"), c.file));
        EXPECT_EQ(load_dib_image(path("bad.bmp").c_str()), nullptr) << c.name;
        ASSERT_EQ(sink.boxes.size(), 1u) << c.name;
        EXPECT_EQ(sink.boxes[0].text, c.message) << c.name;
        EXPECT_EQ(sink.boxes[0].caption, "Error") << c.name;
        EXPECT_TRUE(sink.boxes[0].owned) << c.name;
    }
    EXPECT_EQ(load_dib_image(path("missing.bmp").c_str()), nullptr);
    EXPECT_EQ(sink.boxes.back().text, "Failed to open DIB file " + path("missing.bmp") + ".\n");
}

}  // namespace
