// The tune in A minor, four rows to the beat (120 BPM), sixteen to the bar.
// Each section lists its chords per bar and the layers that play over which
// bars; the melodies are written out note by note.
#include "tune.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <sstream>
#include <string>

#include "synth.h"
#include "timeline/scene_table.h"

namespace {

enum Channel { ChKick, ChSnare, ChHats, ChBass, ChPad1, ChPad2, ChPad3, ChLead, ChEcho, ChArp, ChCrash, ChTom };

struct Chord {
    const char* name;
    int bass;        // MIDI note of the bass root
    int voicing[3];  // MIDI notes of the pad voices
};

// Voicings chosen for smooth movement between neighbours.
const Chord Chords[] = {
    {"Am", 45, {57, 60, 64}}, {"F", 41, {57, 60, 65}},  {"C", 48, {55, 60, 64}},  {"G", 43, {55, 59, 62}},
    {"Dm", 50, {57, 62, 65}}, {"E", 40, {56, 59, 64}},  {"Em", 40, {55, 59, 64}}, {"Bb", 46, {58, 62, 65}},
    {"Bm", 47, {59, 62, 66}}, {"D", 50, {57, 62, 66}},  {"A", 45, {57, 61, 64}},
};

// nullptr for a name not in the list; check_sections refuses those.
const Chord* find_chord(const std::string& name) {
    for (const Chord& c : Chords)
        if (name == c.name) return &c;
    return nullptr;
}
const Chord& chord(const std::string& name) { return *find_chord(name); }

// Layer kinds; named apart from the instruments (synth.h) they play.
enum Part { DrumPart, BassPart, PadPart, ArpPart, LeadPart, FillPart, CrashPart, ReleasePart };
enum DrumStyle { NoDrums, HatsOnly, Four, Half, Break, Tunnel };
enum BassStyle { Long = 1, Drive, Offbeat, Sixteenths };

struct Layer {
    Part part;
    int style;            // DrumStyle, BassStyle, arpeggio speed in rows
    int from, to;         // bars within the section; to = -1: to the end
    const char* melody = nullptr;  // Lead: notes "C#5:4" (rows), "r:2" rests; bars separated by '|'
    int transpose = 0;
};

// A section lasts from one cut of the show's scenes to the next.
struct Section {
    const char* chords;   // one chord per bar of 16 rows, space separated
    std::vector<Layer> layers;
};

const char* const ThemeA =
    "E5:3 A5:3 B5:2 C6:4 B5:2 A5:2 | A5:6 G5:2 F5:4 E5:4 | G5:3 E5:3 C5:2 E5:4 G5:4 | D5:6 B4:2 G4:4 r:4 |"
    "E5:3 A5:3 B5:2 C6:4 D6:2 E6:2 | F6:4 E6:4 C6:4 A5:4 | G5:6 E5:2 C6:4 G5:4 | B5:8 D6:4 B5:4";
const char* const ThemeB =
    "D5:4 F5:4 A5:6 G5:2 | F5:6 D5:2 A#4:4 D5:4 | C5:4 F5:4 A5:4 C6:4 | E6:6 D6:2 C6:4 G5:4 |"
    "A5:4 F5:4 D5:4 F5:4 | D6:6 C6:2 A#5:4 A5:4 | A5:6 G5:2 F5:4 C5:4 | E5:8 G5:4 C6:4";

const std::vector<Section>& sections() {
    static const std::vector<Section> s = {
        // 0-20 s: intro, the pads swell, the arpeggio and the beat come in.
        {"Am Am F F C C G G Dm E",
         {{PadPart, 0, 0, -1}, {ArpPart, 4, 2, -1}, {BassPart, Long, 4, -1}, {DrumPart, HatsOnly, 6, 8},
          {DrumPart, Four, 8, -1},
          {FillPart, 0, 9, -1}}},
        // 20-27 s: a rising call over a driving beat.
        {"F G Am E",
         {{CrashPart, 0, 0, 1}, {PadPart, 0, 0, -1}, {DrumPart, Four, 0, 3}, {BassPart, Drive, 0, -1},
          {ArpPart, 2, 0, -1},
          {LeadPart, 0, 0, -1, "C6:4 A5:4 F5:8 | D6:4 B5:4 G5:8 | E6:4 C6:4 A5:8 | G#5:2 B5:2 E6:4"},
          {FillPart, 0, 3, -1}}},
        // 27-54 s: the main theme.
        {"Am F C G Am F C G Dm Am E Am F G",
         {{CrashPart, 0, 0, 1}, {PadPart, 0, 0, -1}, {DrumPart, Four, 0, 13}, {BassPart, Offbeat, 0, -1},
          {ArpPart, 4, 8, -1},
          {LeadPart, 0, 0, 8, ThemeA},
          {LeadPart, 0, 8, -1, "F5:4 A5:4 D6:6 C6:2 | C6:4 B5:2 A5:2 E5:8 | G#5:4 B5:4 E6:4 D6:4 | C6:8 A5:8 |"
                           "A5:4 C6:4 F6:4 E6:4 | D6:4 B5:4"},
          {FillPart, 0, 13, -1}}},
        // 54-68 s: second theme over a half-time beat.
        {"Dm Bb F C Dm Bb E",
         {{CrashPart, 0, 0, 1}, {PadPart, 0, 0, -1}, {DrumPart, Half, 0, -1}, {BassPart, Drive, 0, -1},
          {LeadPart, 0, 0, -1, "D5:4 F5:4 A5:6 G5:2 | F5:6 D5:2 A#4:4 D5:4 | C5:4 F5:4 A5:4 C6:4 |"
                           "E6:6 D6:2 C6:4 G5:4 |"
                           "A5:4 F5:4 D5:4 F5:4 | D6:6 C6:2 A#5:4 A5:4 | G#5:4 B5:4 E6:8"}}},
        // 68-80 s: breakdown, the beat drops out and builds again.
        {"F G Em Am F E",
         {{PadPart, 0, 0, -1}, {ArpPart, 2, 0, -1}, {BassPart, Long, 0, -1}, {DrumPart, HatsOnly, 2, 4},
          {DrumPart, Break, 4, -1},
          {LeadPart, 0, 0, -1, "A5:16 | B5:16 | G5:8 E5:8 | C6:8 A5:8 | A5:4 C6:4 F6:8 | E6:4 D6:4 B5:4 G#5:4"},
          {FillPart, 0, 5, -1}}},
        // 80-120 s: both themes in full.
        {"Am F C G Am F C G Dm Bb F C Dm Bb F C Dm Am E E",
         {{CrashPart, 0, 0, 1}, {PadPart, 0, 0, -1}, {DrumPart, Four, 0, 8}, {DrumPart, Break, 8, 16},
          {DrumPart, Four, 16, -1},
          {BassPart, Offbeat, 0, -1}, {ArpPart, 2, 8, -1}, {LeadPart, 0, 0, 8, ThemeA}, {LeadPart, 0, 8, 16, ThemeB},
          {LeadPart, 0, 16, -1, "F5:4 A5:4 D6:8 | C6:4 B5:4 A5:8 | G#5:4 B5:4 E6:8 | D6:4 B5:4 G#5:4 E5:4"},
          {FillPart, 0, 19, -1}}},
        // 120-140 s: brighter, in the relative major.
        {"C G Am F C G Am F Dm E",
         {{CrashPart, 0, 0, 1}, {PadPart, 0, 0, -1}, {DrumPart, Break, 0, -1}, {BassPart, Drive, 0, -1},
          {ArpPart, 4, 0, -1},
          {LeadPart, 0, 0, -1, "E5:4 G5:4 C6:6 B5:2 | D6:6 B5:2 G5:8 | C6:4 B5:2 A5:2 E5:4 A5:4 |"
                           "F5:6 G5:2 A5:4 C6:4 |"
                           "E6:4 D6:2 C6:2 G5:4 C6:4 | B5:6 A5:2 G5:4 D6:4 | E6:8 C6:4 A5:4 | A5:6 C6:2 F6:4 E6:4 |"
                           "D6:6 F6:2 A5:4 D6:4 | B5:8 G#5:8"}}},
        // 140-160 s: the tunnel, darker, with toms and a long echoing line.
        {"Am Am Dm Dm Bb Bb E E Am E",
         {{CrashPart, 0, 0, 1}, {PadPart, 0, 0, -1}, {DrumPart, Tunnel, 0, -1}, {BassPart, Sixteenths, 0, -1},
          {LeadPart, 0, 0, -1, "A4:12 C5:4 | E5:8 D5:4 C5:4 | D5:12 F5:4 | A5:8 G5:4 F5:4 | F5:12 D5:4 |"
                           "A#4:8 C5:4 D5:4 |"
                           "E5:12 G#4:4 | B4:16 | A4:4 C5:4 E5:4 A5:4 | G#5:8 E5:4 B4:4"},
          {FillPart, 0, 9, -1}}},
        // 160-220 s: finale; both themes, then the first a tone higher.
        {"Am F C G Am F C G Dm Bb F C Dm Bb F C Bm G D A Bm G D A Bm G D A F G",
         {{CrashPart, 0, 0, 1}, {PadPart, 0, 0, -1}, {DrumPart, Four, 0, 16}, {DrumPart, Break, 16, 28},
          {DrumPart, Four, 28, -1},
          {BassPart, Offbeat, 0, 16}, {BassPart, Drive, 16, -1}, {ArpPart, 2, 0, -1},
          {LeadPart, 0, 0, 8, ThemeA}, {LeadPart, 0, 8, 16, ThemeB}, {LeadPart, 0, 16, 24, ThemeA, 2},
          {LeadPart, 0, 24, 28, "E5:3 A5:3 B5:2 C6:4 D6:2 E6:2 | F6:4 E6:4 C6:4 A5:4 | G5:6 E5:2 C6:4 G5:4 |"
                            "B5:8 D6:4 B5:4", 2},
          {LeadPart, 0, 28, -1, "A5:4 C6:4 F6:8 | G5:4 B5:4 D6:4 G6:4"}, {CrashPart, 0, 16, 17},
          {FillPart, 0, 29, -1}}},
        // 220-226 s: the last chord rings out.
        {"Am Am Am",
         {{CrashPart, 0, 0, 1}, {PadPart, 0, 0, 2}, {BassPart, Long, 0, 1}, {LeadPart, 0, 0, 1, "A5:16"},
          {DrumPart, Four, 0, 1},
          {ReleasePart, 0, 2, -1}}},
    };
    return s;
}

class Song {
public:
    explicit Song(int rows) : rows_(rows), cells_(size_t(rows) * TuneChannels) {}
    int rows() const { return rows_; }
    XmCell& at(int row, int ch) { return cells_[size_t(row) * TuneChannels + ch]; }
    // A MIDI note on an instrument at volume 0..64; XM's C-4 (49) is MIDI 60.
    void note(int row, int ch, int midi, int instrument, int volume) {
        if (row < 0 || row >= rows_) return;
        XmCell& c = at(row, ch);
        c.note = uint8_t(midi - 11);
        c.instrument = uint8_t(instrument);
        c.volume = uint8_t(0x10 + volume);
    }
    void key_off(int row, int ch) {
        if (row >= 0 && row < rows_ && !at(row, ch).note) at(row, ch).note = 97;
    }

private:
    int rows_;
    std::vector<XmCell> cells_;
};

struct Span {
    int start, rows;                 // song rows covered
    std::vector<std::string> chords; // per bar of the section
};

void drum_bar(Song& song, int row, int rows, int style) {
    static const char* const kicks[] = {"", "", "x...x...x...x...", "x.........x.....", "x.....x...x.....",
                                        "x...x...x...x..x"};
    static const char* const snares[] = {"", "", "....x.......x...", "........x.......", "....x.......x..g",
                                         "............x..."};
    static const char* const hats[] = {"", "..x...x...x...x.", "g.x.g.x.g.x.g.xo", "..x...x...x...x.",
                                       "xgxgxgxgxgxgxgxo", "x.x.x.x.x.x.x.x."};
    for (int r = 0; r < rows; ++r) {
        if (kicks[style][r] == 'x') song.note(row + r, ChKick, 60, Kick, 56);
        if (snares[style][r] == 'x') song.note(row + r, ChSnare, 60, Snare, 60);
        if (snares[style][r] == 'g') song.note(row + r, ChSnare, 60, Snare, 24);
        char h = hats[style][r];
        if (h == 'x') song.note(row + r, ChHats, 60, ClosedHat, 48);
        if (h == 'g') song.note(row + r, ChHats, 60, ClosedHat, 24);
        if (h == 'o') song.note(row + r, ChHats, 60, OpenHat, 40);
        if (style == Tunnel && (r == 6 || r == 14)) song.note(row + r, ChTom, r == 6 ? 55 : 50, Tom, 50);
    }
}

void bass_bar(Song& song, int row, int rows, int style, const Chord& c) {
    static const char* const shapes[] = {"", "x...............", "x.x.x.o.x.x.x.o.", "x..x..o.x.x.o..x",
                                         "xxxoxxxoxxxoxxxo"};
    for (int r = 0; r < rows; ++r) {
        char s = shapes[style][r];
        if (s == '.') continue;
        int volume = style == Sixteenths ? (r % 4 == 0 ? 38 : 26) : (r % 4 == 0 ? 42 : 32);
        song.note(row + r, ChBass, c.bass + (s == 'o' ? 12 : 0), Bass, volume);
    }
}

void arp_bar(Song& song, int row, int rows, int step, const Chord& c) {
    const int order[] = {0, 1, 2, 3, 2, 1};
    for (int r = 0, i = 0; r < rows; r += step, ++i) {
        int k = order[i % 6];
        int midi = k == 3 ? c.voicing[0] + 24 : c.voicing[k] + 12;
        song.note(row + r, ChArp, midi, Pluck, r % 8 == 0 ? 30 : 22);
    }
}

int parse_note(const std::string& s) {
    static const std::map<std::string, int> names = {{"C", 0}, {"C#", 1}, {"D", 2}, {"D#", 3}, {"E", 4}, {"F", 5},
                                                     {"F#", 6}, {"G", 7}, {"G#", 8}, {"A", 9}, {"A#", 10}, {"B", 11}};
    std::string name = s.substr(0, s.size() - 1);
    return names.at(name) + 12 * (s.back() - '0' + 1);
}

// Writes the melody from `row`, lead and a quieter echo three rows later;
// returns the rows the melody lasted.
int lead_line(Song& song, int row, const char* melody, int transpose) {
    std::istringstream in(melody);
    std::string token;
    int at = row;
    while (in >> token) {
        token.erase(std::remove(token.begin(), token.end(), '|'), token.end());
        if (token.empty()) continue;
        size_t colon = token.find(':');
        int rows = std::stoi(token.substr(colon + 1));
        std::string pitch = token.substr(0, colon);
        if (pitch == "r") {
            song.key_off(at, ChLead);
            song.key_off(at + 3, ChEcho);
        } else {
            int midi = parse_note(pitch) + transpose;
            song.note(at, ChLead, midi, Lead, 64);
            song.note(at + 3, ChEcho, midi, Lead, 22);
        }
        at += rows;
    }
    song.key_off(at, ChLead);
    song.key_off(at + 3, ChEcho);
    return at - row;
}

// Snare roll rising through the last eight rows, toms falling under it.
void fill(Song& song, int row) {
    for (int r = 0; r < 8; ++r) {
        song.note(row + r, ChSnare, 60, Snare, 20 + r * 6);
        if (r % 2 == 0) song.note(row + r, ChTom, 57 - r, Tom, 40 + r * 3);
    }
    song.note(row, ChKick, 60, Kick, 60);
    song.note(row + 4, ChKick, 60, Kick, 60);
}

void pads(Song& song, const Span& s, int from, int to) {
    const Chord* previous = nullptr;
    for (int bar = from; bar < to; ++bar) {
        const Chord& c = chord(s.chords[bar]);
        int row = s.start + bar * 16;
        for (int v = 0; v < 3; ++v)
            if (!previous || previous->voicing[v] != c.voicing[v] || bar == from)
                song.note(row, ChPad1 + v, c.voicing[v], Pad, 34);
        previous = &c;
    }
    int end = std::min(s.start + s.rows, s.start + to * 16);
    if (end < song.rows() && end == s.start + to * 16 && to * 16 < s.rows)
        for (int v = 0; v < 3; ++v) song.key_off(end, ChPad1 + v);
}

void arrange(Song& song, const Section& section, const Span& span) {
    const int bars = int(span.chords.size());
    for (const Layer& layer : section.layers) {
        int to = layer.to < 0 ? bars : layer.to;
        if (layer.part == PadPart) { pads(song, span, layer.from, to); continue; }
        if (layer.part == LeadPart) {
            lead_line(song, span.start + layer.from * 16, layer.melody, layer.transpose);
            continue;
        }
        if (layer.part == FillPart) { fill(song, span.start + span.rows - 8); continue; }
        if (layer.part == ReleasePart) {
            for (int ch : {ChBass, ChPad1, ChPad2, ChPad3, ChArp}) song.key_off(span.start + layer.from * 16, ch);
            continue;
        }
        if (layer.part == CrashPart) { song.note(span.start + layer.from * 16, ChCrash, 60, Crash, 48); continue; }
        for (int bar = layer.from; bar < to; ++bar) {
            int row = span.start + bar * 16, rows = std::min(16, span.start + span.rows - row);
            const Chord& c = chord(span.chords[bar]);
            if (layer.part == DrumPart) drum_bar(song, row, rows, layer.style);
            if (layer.part == BassPart) bass_bar(song, row, rows, layer.style, c);
            if (layer.part == ArpPart) arp_bar(song, row, rows, layer.style, c);
        }
    }
}

std::vector<std::string> split(const char* text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// Cuts the song into patterns of at most 64 rows that never cross a section
// boundary; identical patterns are stored once.
void cut_patterns(Song& song, XmModule& m) {
    std::map<std::vector<uint8_t>, int> known;
    int start = 0;
    for (int rows : section_rows()) {
        for (int at = start; at < start + rows; at += 64) {
            XmPattern p;
            p.rows = std::min(64, start + rows - at);
            for (int r = 0; r < p.rows; ++r)
                for (int ch = 0; ch < TuneChannels; ++ch) p.cells.push_back(song.at(at + r, ch));
            std::vector<uint8_t> key(reinterpret_cast<const uint8_t*>(p.cells.data()),
                                     reinterpret_cast<const uint8_t*>(p.cells.data() + p.cells.size()));
            key.push_back(uint8_t(p.rows));
            auto found = known.find(key);
            if (found == known.end()) {
                found = known.emplace(key, int(m.patterns.size())).first;
                m.patterns.push_back(std::move(p));
            }
            m.orders.push_back(uint8_t(found->second));
        }
        start += rows;
    }
}

}  // namespace

const std::vector<int>& section_rows() {
    static const std::vector<int> rows = [] {
        constexpr auto cuts = scene_cuts();
        std::vector<int> r;
        for (size_t i = 0; i + 1 < cuts.size(); ++i) r.push_back(RowsPerSecond * (cuts[i + 1] - cuts[i]));
        return r;
    }();
    return rows;
}

namespace {

// What arrange relies on: a section for every stretch between two cuts, a
// known chord for each of its bars, layers within its bars and melodies that
// end inside it.
bool check_sections(std::string* error) {
    if (sections().size() != section_rows().size()) {
        *error = "the tune has " + std::to_string(sections().size()) + " sections for " +
                 std::to_string(section_rows().size()) + " stretches between the show's cuts";
        return false;
    }
    for (size_t i = 0; i < sections().size(); ++i) {
        const Section& section = sections()[i];
        const int rows = section_rows()[i];
        const std::vector<std::string> chords = split(section.chords);
        const std::string where = "tune section " + std::to_string(i) + ": ";
        if (int(chords.size()) != (rows + 15) / 16) {
            *error = where + std::to_string(chords.size()) + " chords for " + std::to_string((rows + 15) / 16) + " bars";
            return false;
        }
        for (const std::string& name : chords)
            if (!find_chord(name)) {
                *error = where + "unknown chord " + name;
                return false;
            }
        const int bars = int(chords.size());
        for (const Layer& layer : section.layers) {
            const int to = layer.to < 0 ? bars : layer.to;
            if (layer.from < 0 || layer.from > to || to > bars) {
                *error = where + "a layer over bars " + std::to_string(layer.from) + " to " + std::to_string(to) +
                         " of " + std::to_string(bars);
                return false;
            }
            Song none(0);  // writes nothing; the melody's length alone
            if (layer.part == LeadPart && layer.from * 16 + lead_line(none, 0, layer.melody, 0) > rows) {
                *error = where + "the melody outlasts the section";
                return false;
            }
        }
    }
    return true;
}

}  // namespace

bool compose_tune(XmModule* out, std::string* error) {
    if (!check_sections(error)) return false;
    int total = 0;
    for (int r : section_rows()) total += r;
    Song song(total);
    int start = 0;
    for (size_t i = 0; i < sections().size(); ++i) {
        const Section& section = sections()[i];
        const int rows = section_rows()[i];
        Span span{start, rows, split(section.chords)};
        arrange(song, section, span);
        start += rows;
    }
    // Speed and tempo also as effects, for players that ignore the header.
    song.at(0, ChCrash).effect = 0xF;
    song.at(0, ChCrash).param = 6;
    song.at(0, ChTom).effect = 0xF;
    song.at(0, ChTom).param = 120;

    XmModule m;
    m.name = "algar";
    m.channels = TuneChannels;
    m.instruments = make_instruments();
    cut_patterns(song, m);
    *out = std::move(m);
    return true;
}
