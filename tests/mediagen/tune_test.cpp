// The tune rendered through libopenmpt, as the show plays it: section
// boundaries on the show's seconds, every section audible, nothing clipping.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <vector>

#include "synth.h"
#include "timeline/scene_table.h"
#include "tune.h"
#include "xm.h"

namespace {

const int Rate = 44100;

class TuneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        if (!compose_tune(&Module, &error)) ADD_FAILURE() << error;
        Bytes = write_xm(Module);
    }
    static openmpt_module* open() {
        int error = 0;
        openmpt_module* mod = openmpt_module_create_from_memory2(Bytes.data(), Bytes.size(), nullptr, nullptr, nullptr,
                                                                  nullptr, &error, nullptr, nullptr);
        EXPECT_NE(mod, nullptr) << "libopenmpt error " << error;
        return mod;
    }
    static XmModule Module;
    static std::vector<uint8_t> Bytes;
};
XmModule TuneTest::Module;
std::vector<uint8_t> TuneTest::Bytes;

// Seconds at which each section starts, and the song's end.
std::vector<double> section_starts() {
    std::vector<double> s{0};
    for (int rows : section_rows()) s.push_back(s.back() + double(rows) / RowsPerSecond);
    return s;
}

double decibels(double rms) { return 20 * std::log10(std::fmax(rms, 1e-9)); }

TEST_F(TuneTest, SectionsStartOnTheShowsCuts) {
    constexpr auto cuts = scene_cuts();
    const std::vector<double> expected(cuts.begin(), cuts.end());
    EXPECT_EQ(section_starts(), expected);
    openmpt_module* mod = open();
    ASSERT_NE(mod, nullptr);
    EXPECT_DOUBLE_EQ(openmpt_module_get_duration_seconds(mod), LastSecond + 1.0);
    EXPECT_EQ(openmpt_module_get_num_channels(mod), TuneChannels);
    // Walk the order list: each section's first order starts at its second.
    std::set<double> order_starts;
    for (int o = 0; o < openmpt_module_get_num_orders(mod); ++o)
        order_starts.insert(openmpt_module_set_position_order_row(mod, o, 0));
    for (size_t i = 0; i + 1 < expected.size(); ++i)
        EXPECT_EQ(order_starts.count(expected[i]), 1u) << "no order starts at " << expected[i] << " s";
    openmpt_module_destroy(mod);
}

TEST_F(TuneTest, EverySectionIsAudibleAndNothingClips) {
    openmpt_module* mod = open();
    ASSERT_NE(mod, nullptr);
    const std::vector<double> starts = section_starts();
    std::vector<double> sum(starts.size() - 1, 0.0), window;  // window: RMS per half second
    double peak = 0, half = 0;
    long frames_done = 0, half_frames = 0;
    std::vector<float> buffer(2 * 4096);
    size_t got;
    while ((got = openmpt_module_read_interleaved_float_stereo(mod, Rate, 4096, buffer.data())) > 0) {
        for (size_t i = 0; i < got; ++i, ++frames_done) {
            double l = buffer[2 * i], r = buffer[2 * i + 1], e = 0.5 * (l * l + r * r);
            peak = std::fmax(peak, std::fmax(std::fabs(l), std::fabs(r)));
            size_t s = 0;
            while (s + 2 < starts.size() && frames_done >= starts[s + 1] * Rate) ++s;
            sum[s] += e;
            half += e;
            if (++half_frames == Rate / 2) {
                window.push_back(std::sqrt(half / half_frames));
                half = 0;
                half_frames = 0;
            }
        }
    }
    openmpt_module_destroy(mod);
    EXPECT_NEAR(frames_done / double(Rate), 226.0, 0.125) << "the render ends within the last row";
    std::printf("section  seconds     RMS dBFS\n");
    for (size_t s = 0; s + 1 < starts.size(); ++s) {
        double rms = decibels(std::sqrt(sum[s] / ((starts[s + 1] - starts[s]) * Rate)));
        std::printf("%7zu  %3.0f-%3.0f  %8.1f\n", s + 1, starts[s], starts[s + 1], rms);
        EXPECT_GT(rms, s == 0 || s + 2 == starts.size() ? -30.0 : -22.0) << "section " << s + 1;
        EXPECT_LT(rms, -8.0) << "section " << s + 1;
    }
    std::printf("peak %.3f (%.1f dBFS)\n", peak, decibels(peak));
    EXPECT_LT(peak, 0.98) << "the int16 output would clip";
    // No silence: past the first second and before the closing section, no
    // half second falls below -40 dBFS.
    for (size_t w = 2; w < window.size() && w < 440; ++w)
        EXPECT_GT(decibels(window[w]), -40.0) << "quiet at " << w / 2.0 << " s";
}

TEST_F(TuneTest, HarmonyAndMelodyChangeBetweenSections) {
    // The patterns of any two sections differ: no section repeats another.
    std::vector<std::vector<uint8_t>> per_section;
    size_t order = 0;
    for (int rows : section_rows()) {
        std::vector<uint8_t> orders;
        for (int done = 0; done < rows && order < Module.orders.size(); ++order) {
            orders.push_back(Module.orders[order]);
            done += Module.patterns[Module.orders[order]].rows;
        }
        per_section.push_back(orders);
    }
    EXPECT_EQ(order, Module.orders.size());
    for (size_t a = 0; a < per_section.size(); ++a)
        for (size_t b = a + 1; b < per_section.size(); ++b)
            EXPECT_NE(per_section[a], per_section[b]) << "sections " << a + 1 << " and " << b + 1;
}

TEST_F(TuneTest, TonalInstrumentsSustainOnLoopsWithEnvelopes) {
    ASSERT_EQ(Module.instruments.size(), size_t(InstrumentCount));
    for (int i = 1; i <= InstrumentCount; ++i) {
        const XmInstrument& ins = Module.instruments[i - 1];
        const XmSample& s = ins.sample;
        SCOPED_TRACE(ins.name);
        EXPECT_LE(s.loopStart + s.loopLength, s.data.size());
        bool tonal = i == Bass || i == Pad || i == Lead || i == Pluck;
        EXPECT_EQ(tonal, s.loopLength > 0);
        EXPECT_EQ(tonal, !ins.volumeEnvelope.empty());
        if (i == Bass || i == Pad || i == Lead) {
            EXPECT_GE(ins.sustainPoint, 0);
        }
        if (tonal) {  // the loop closes: its last value steps to its first like any neighbours do
            int jump = std::abs(s.data[s.loopStart + s.loopLength - 1] - s.data[s.loopStart]);
            int steepest = 0;
            for (size_t k = s.loopStart + 1; k < s.loopStart + s.loopLength; ++k)
                steepest = std::max(steepest, std::abs(s.data[k] - s.data[k - 1]));
            EXPECT_LE(jump, steepest);
        }
    }
}

TEST_F(TuneTest, EachChannelPlaysItsOwnInstruments) {
    // kick, snare, hats, bass, three pad voices, lead, lead echo, arpeggio, crash, toms
    const std::vector<std::set<int>> family = {{Kick}, {Snare}, {ClosedHat, OpenHat}, {Bass}, {Pad}, {Pad}, {Pad},
                                               {Lead}, {Lead}, {Pluck}, {Crash}, {Tom}};
    ASSERT_EQ(family.size(), size_t(TuneChannels));
    std::vector<int> notes(TuneChannels, 0);
    for (const XmPattern& p : Module.patterns)
        for (int r = 0; r < p.rows; ++r)
            for (int ch = 0; ch < TuneChannels; ++ch) {
                const XmCell& c = p.cells[size_t(r) * TuneChannels + ch];
                if (c.note == 0 || c.note == 97) continue;
                ++notes[ch];
                EXPECT_EQ(family[ch].count(c.instrument), 1u)
                    << "channel " << ch << " plays instrument " << int(c.instrument);
            }
    for (int ch = 0; ch < TuneChannels; ++ch) EXPECT_GT(notes[ch], 0) << "channel " << ch << " never plays";
}

// Plays one note of an instrument alone and measures its period by
// autocorrelation over the sustained part.
double played_frequency(const std::vector<XmInstrument>& instruments, int instrument, int xm_note) {
    XmModule m;
    m.channels = 2;
    m.instruments = instruments;
    XmPattern p;
    p.rows = 16;
    p.cells.resize(32);
    p.cells[0] = XmCell{uint8_t(xm_note), uint8_t(instrument), 0x50, 0, 0};
    m.patterns = {p};
    m.orders = {0};
    std::vector<uint8_t> bytes = write_xm(m);
    openmpt_module* mod = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr, nullptr,
                                                              nullptr, nullptr, nullptr, nullptr);
    if (!mod) return 0;
    std::vector<float> pcm(Rate);
    openmpt_module_read_float_mono(mod, Rate, pcm.size(), pcm.data());
    openmpt_module_destroy(mod);
    std::vector<double> score(801, 0.0);  // lags for 55 to 1100 Hz
    for (int lag = 40; lag <= 800; ++lag)
        for (int k = Rate / 2; k < Rate / 2 + 8000; ++k) score[lag] += pcm[k] * pcm[k + lag];
    double top = *std::max_element(score.begin(), score.end());
    // The first peak near the top: detuned voices make later periods score higher.
    for (int lag = 41; lag < 800; ++lag)
        if (score[lag] > 0.8 * top && score[lag] >= score[lag - 1] && score[lag] >= score[lag + 1])
            return double(Rate) / lag;
    return 0;
}

TEST_F(TuneTest, TonalInstrumentsPlayInTune) {
    struct Case { int instrument, xm_note; double hertz; };
    const Case cases[] = {{Bass, 34, 110.0}, {Pad, 58, 440.0}, {Lead, 58, 440.0}, {Pluck, 58, 440.0}};
    for (const Case& c : cases) {
        double f = played_frequency(Module.instruments, c.instrument, c.xm_note);
        EXPECT_NEAR(f, c.hertz, c.hertz * 0.012) << Module.instruments[c.instrument - 1].name;
    }
}

TEST(XmPitch, SampleRateToRelativeNoteAndFinetune) {
    struct Case { double rate, frequency; int note, finetune; };
    const Case cases[] = {
        {8363, 261.6256, 0, 0},      // C-4 plays the sample at 8363 Hz
        {44100, 261.6256, 28, 100},  // a sample made at 44100 Hz
        {16726, 261.6256, 12, 0},    // an octave up
        {8363, 523.2511, -12, 0},    // its tone an octave above middle C
    };
    for (const Case& c : cases) {
        XmSample s;
        tune_sample(s, c.rate, c.frequency);
        EXPECT_EQ(s.relativeNote, c.note) << c.rate << " Hz";
        EXPECT_NEAR(s.finetune, c.finetune, 1) << c.rate << " Hz";
    }
}

TEST(XmWriter, PacksCellsAndDeltaEncodesSamples) {
    XmModule m;
    m.channels = 2;
    XmPattern p;
    p.rows = 1;
    p.cells = {XmCell{49, 1, 0x50, 0xF, 6}, XmCell{97, 0, 0, 0, 0}};
    m.patterns = {p};
    m.orders = {0};
    XmInstrument ins;
    ins.sample.data = {100, -100, 32767};
    m.instruments = {ins};
    std::vector<uint8_t> b = write_xm(m);
    ASSERT_EQ(b.size(), 336u + 9 + 7 + 263 + 40 + 6);
    const uint8_t cells[] = {49, 1, 0x50, 0xF, 6, 0x81, 97};  // whole cell, then mask + note
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 345, b.begin() + 352), std::vector<uint8_t>(cells, cells + 7));
    auto s16 = [&](size_t at) { return int16_t(b[at] | b[at + 1] << 8); };
    const size_t data = b.size() - 6;
    EXPECT_EQ(s16(data), 100);
    EXPECT_EQ(s16(data + 2), -200);
    EXPECT_EQ(int16_t(s16(data + 4)), int16_t(32767 + 100));  // wraps
}

}  // namespace
