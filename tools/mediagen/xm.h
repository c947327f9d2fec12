#pragma once
// Extended module (.xm, version 0x0104) records and writer.
#include <cstdint>
#include <string>
#include <vector>

struct XmCell {
    uint8_t note = 0;        // 1..96 (1 = C-0, 49 = C-4), 97 = key-off, 0 = none
    uint8_t instrument = 0;  // 1-based, 0 = none
    uint8_t volume = 0;      // volume column: 0x10..0x50 sets volume 0..64, 0 = none
    uint8_t effect = 0;
    uint8_t param = 0;
    bool empty() const { return !note && !instrument && !volume && !effect && !param; }
};

struct XmPattern {
    int rows = 0;
    std::vector<XmCell> cells;  // rows x channels, row-major
};

struct XmEnvelopePoint {
    uint16_t tick;
    uint16_t value;  // 0..64
};

struct XmSample {
    std::string name;
    std::vector<int16_t> data;   // 16-bit signed
    uint32_t loopStart = 0;      // in samples
    uint32_t loopLength = 0;     // in samples; 0 = no loop
    uint8_t volume = 64;
    int8_t finetune = 0;         // 1/128 semitone
    int8_t relativeNote = 0;
    uint8_t panning = 128;
};

struct XmInstrument {
    std::string name;
    XmSample sample;                       // one sample, mapped to every note
    std::vector<XmEnvelopePoint> volumeEnvelope;  // empty: envelope off
    int sustainPoint = -1;                 // index into the envelope, -1 none
    uint16_t fadeout = 0;                  // per tick, of 65536, after key-off
    uint8_t vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
};

struct XmModule {
    std::string name;
    int channels = 0;
    int speed = 6, bpm = 120;
    std::vector<uint8_t> orders;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

std::vector<uint8_t> write_xm(const XmModule& module);

// Sets relativeNote and finetune so that a tone of `frequency` Hz recorded at
// `rate` samples per second sounds at middle C (261.63 Hz) on note C-4.
void tune_sample(XmSample& sample, double rate, double frequency);
