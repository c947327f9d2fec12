#include "xm.h"

#include <cmath>

#include "byte_writer.h"

namespace {

// Mask packing: a cell with every field present is written whole, others as
// a mask byte (bit 7) and only the fields present.
void pack_cell(ByteWriter& out, const XmCell& c) {
    const uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.param};
    unsigned mask = 0x80;
    for (int i = 0; i < 5; ++i)
        if (fields[i]) mask |= 1u << i;
    if (mask == 0x9F) {
        for (uint8_t f : fields) out.u8(f);
        return;
    }
    out.u8(mask);
    for (int i = 0; i < 5; ++i)
        if (fields[i]) out.u8(fields[i]);
}

void write_pattern(ByteWriter& out, const XmPattern& p, int channels) {
    ByteWriter packed;
    for (int r = 0; r < p.rows; ++r)
        for (int ch = 0; ch < channels; ++ch) pack_cell(packed, p.cells[size_t(r) * channels + ch]);
    out.u32(9);
    out.u8(0);
    out.u16(p.rows);
    out.u16(unsigned(packed.size()));
    out.append(packed.bytes());
}

void write_instrument(ByteWriter& out, const XmInstrument& ins) {
    const XmSample& s = ins.sample;
    out.u32(263);
    out.fixed(ins.name, 22);
    out.u8(0);
    out.u16(1);
    out.u32(40);
    for (int i = 0; i < 96; ++i) out.u8(0);  // every note plays sample 0
    for (int i = 0; i < 12; ++i) {
        XmEnvelopePoint p = i < int(ins.volumeEnvelope.size()) ? ins.volumeEnvelope[i] : XmEnvelopePoint{0, 0};
        out.u16(p.tick);
        out.u16(p.value);
    }
    for (int i = 0; i < 12; ++i) out.u32(0);  // panning envelope unused
    out.u8(unsigned(ins.volumeEnvelope.size()));
    out.u8(0);
    out.u8(ins.sustainPoint < 0 ? 0 : ins.sustainPoint);
    out.u8(0);  // envelope loop start, end
    out.u8(0);
    out.u8(0);  // panning sustain, loop start, end
    out.u8(0);
    out.u8(0);
    unsigned type = ins.volumeEnvelope.empty() ? 0 : 1;
    if (ins.sustainPoint >= 0) type |= 2;
    out.u8(type);
    out.u8(0);
    out.u8(ins.vibratoType);
    out.u8(ins.vibratoSweep);
    out.u8(ins.vibratoDepth);
    out.u8(ins.vibratoRate);
    out.u16(ins.fadeout);
    for (int i = 0; i < 22; ++i) out.u8(0);
    // Sample header; lengths in bytes.
    out.u32(uint32_t(s.data.size() * 2));
    out.u32(s.loopStart * 2);
    out.u32(s.loopLength * 2);
    out.u8(s.volume);
    out.u8(uint8_t(s.finetune));
    out.u8((s.loopLength ? 1 : 0) | 0x10);  // forward loop, 16-bit
    out.u8(s.panning);
    out.u8(uint8_t(s.relativeNote));
    out.u8(0);
    out.fixed(s.name, 22);
    int16_t previous = 0;  // delta-encoded
    for (int16_t v : s.data) {
        out.i16(int16_t(uint16_t(v) - uint16_t(previous)));
        previous = v;
    }
}

}  // namespace

std::vector<uint8_t> write_xm(const XmModule& m) {
    ByteWriter out;
    out.fixed("Extended Module: ", 17);
    out.fixed(m.name, 20);
    out.u8(0x1A);
    out.fixed("mediagen", 20);
    out.u16(0x0104);
    out.u32(276);
    out.u16(unsigned(m.orders.size()));
    out.u16(0);  // restart at the first order
    out.u16(m.channels);
    out.u16(unsigned(m.patterns.size()));
    out.u16(unsigned(m.instruments.size()));
    out.u16(1);  // linear frequency table
    out.u16(m.speed);
    out.u16(m.bpm);
    for (int i = 0; i < 256; ++i) out.u8(i < int(m.orders.size()) ? m.orders[i] : 0);
    for (const XmPattern& p : m.patterns) write_pattern(out, p, m.channels);
    for (const XmInstrument& ins : m.instruments) write_instrument(out, ins);
    return out.take();
}

void tune_sample(XmSample& sample, double rate, double frequency) {
    double semitones = 12 * std::log2(rate * 261.6256 / (frequency * 8363.0));
    long steps = std::lround(semitones * 128);  // in 1/128 semitone
    long note = steps >> 7;                      // whole notes below, finetune 0..127 up
    sample.relativeNote = int8_t(note);
    sample.finetune = int8_t(steps - note * 128);
}
