// Drums are one-shot noise and swept sines; tonal instruments are additive
// wavetables played as k cycles per loop of L samples, so every loop closes
// without a click, with a brighter attack that settles into the loop.
#include "synth.h"

#include <cmath>
#include <functional>

#include "texture_ops.h"

namespace {

const double Tau = 6.283185307179586;

std::vector<int16_t> to_pcm(const std::vector<double>& x, double peak = 0.95) {
    double m = 1e-9;
    for (double v : x) m = std::fmax(m, std::fabs(v));
    std::vector<int16_t> out;
    for (double v : x) out.push_back(int16_t(std::lround(v / m * peak * 32767)));
    return out;
}

// One-pole low-pass state.
struct LowPass {
    double k, y = 0;
    double operator()(double x) { return y += k * (x - y); }
};

XmInstrument drum(const char* name, double rate, double seconds, const std::function<double(double, double)>& f,
                  uint8_t volume, uint8_t panning) {
    Random rnd(uint32_t(seconds * 1000) + uint32_t(name[0]));
    std::vector<double> x;
    for (int i = 0; i < int(rate * seconds); ++i) x.push_back(f(i / rate, rnd.signed_unit()));
    XmInstrument ins;
    ins.name = name;
    ins.sample.name = name;
    ins.sample.data = to_pcm(x);
    ins.sample.volume = volume;
    ins.sample.panning = panning;
    tune_sample(ins.sample, rate, 261.6256);  // plays at its own rate on C-4
    return ins;
}

XmInstrument make_kick() {
    double phase = 0;
    return drum("kick", 22050, 0.45, [phase](double t, double) mutable {
        phase += Tau * (44 + 120 * std::exp(-t / 0.03)) / 22050;
        return std::tanh(1.6 * std::sin(phase) * std::exp(-t / 0.16));
    }, 64, 128);
}

XmInstrument make_snare() {
    LowPass lp{0.25};
    return drum("snare", 44100, 0.32, [lp](double t, double n) mutable {
        double body = 0.7 * std::sin(Tau * 185 * t) * std::exp(-t / 0.045);
        double hiss = (n - lp(n)) * std::exp(-t / 0.085);
        return body + 1.2 * hiss;
    }, 56, 120);
}

// Six detuned squares through a high-pass: the metallic part of hats and crash.
double metal(double t) {
    static const double f[] = {317, 471, 563, 799, 823, 1127};
    double s = 0;
    for (double fi : f) s += std::sin(Tau * fi * 2 * t) > 0 ? 1 : -1;
    return s / 6;
}

XmInstrument make_hat(const char* name, double decay, double seconds, uint8_t volume) {
    LowPass lp{0.5};
    return drum(name, 44100, seconds, [lp, decay](double t, double n) mutable {
        double x = 0.6 * n + 0.4 * metal(t);
        return (x - lp(x)) * std::exp(-t / decay);
    }, volume, 150);
}

XmInstrument make_crash() {
    LowPass lp{0.35};
    return drum("crash", 44100, 1.8, [lp](double t, double n) mutable {
        double x = 0.7 * n + 0.3 * metal(t * 1.3);
        return (x - lp(x)) * (std::exp(-t / 0.45) + 0.3 * std::exp(-t / 0.05));
    }, 40, 100);
}

XmInstrument make_tom() {
    double phase = 0;
    return drum("tom", 22050, 0.5, [phase](double t, double n) mutable {
        phase += Tau * (95 + 60 * std::exp(-t / 0.06)) / 22050;
        return std::sin(phase) * std::exp(-t / 0.18) + 0.1 * n * std::exp(-t / 0.01);
    }, 50, 90);
}

// Single cycle of `size` points from harmonic amplitudes amp(h), h = 1..count.
std::vector<double> wavetable(int size, int count, const std::function<double(int)>& amp) {
    std::vector<double> table(size, 0.0);
    for (int h = 1; h <= count; ++h) {
        double a = amp(h);
        for (int i = 0; i < size; ++i) table[i] += a * std::sin(Tau * h * i / size);
    }
    return table;
}

struct Voice {
    int cycles;      // cycles of the table per loop of L samples
    double gain;
};

// A tonal sample: `attack` loops' worth of bright-to-dark crossfade, then one
// loop of L samples of the dark table. Pitch: voices[0].cycles per loop.
XmSample tonal(const char* name, int loop, int attack, double rate_for_c4_hz, double c4_hz,
               const std::vector<double>& bright, const std::vector<double>& dark, const std::vector<Voice>& voices) {
    const int size = int(bright.size());
    std::vector<double> x;
    const int total = loop * (attack + 1);
    for (int i = 0; i < total; ++i) {
        double k = std::fmin(1.0, double(i) / (loop * std::fmax(attack, 1)));
        double s = 0;
        for (const Voice& v : voices) {
            size_t at = size_t((int64_t(i) * v.cycles % loop) * int64_t(size) / loop);
            s += v.gain * (bright[at] + (dark[at] - bright[at]) * k);
        }
        x.push_back(s);
    }
    XmSample smp;
    smp.name = name;
    smp.data = to_pcm(x, 0.9);
    smp.loopStart = uint32_t(loop * attack);
    smp.loopLength = uint32_t(loop);
    tune_sample(smp, rate_for_c4_hz, c4_hz);
    return smp;
}

double saw(int h) { return 1.0 / h; }
double lowpass(int h, double corner) { return 1.0 / (1.0 + std::pow(h / corner, 2.0)); }

XmInstrument make_bass() {
    const int loop = 2048, cycles = 8;
    auto bright = wavetable(loop, 60, [](int h) { return saw(h) * lowpass(h, 14) + (h == 1 ? 0.6 : 0); });
    auto dark = wavetable(loop, 60, [](int h) { return saw(h) * lowpass(h, 4) + (h == 1 ? 0.6 : 0); });
    const double f = 130.8128, rate = f * loop / cycles;  // a C-3 tone
    XmInstrument ins;
    ins.name = "bass";
    ins.sample = tonal("bass", loop, 3, rate, f, bright, dark, {{cycles, 1.0}});
    ins.sample.volume = 64;
    ins.volumeEnvelope = {{0, 64}, {8, 52}, {40, 44}, {60, 44}};
    ins.sustainPoint = 2;
    ins.fadeout = 3000;
    return ins;
}

XmInstrument make_pad() {
    const int loop = 32768;
    auto table = wavetable(loop, 30, [](int h) { return saw(h) * lowpass(h, 5); });
    const double f = 261.6256, rate = f * loop / 300;
    XmInstrument ins;
    ins.name = "pad";
    ins.sample = tonal("pad", loop, 0, rate, f, table, table, {{300, 1.0}, {301, 0.8}, {299, 0.8}, {302, 0.5}});
    ins.sample.volume = 64;
    ins.volumeEnvelope = {{0, 0}, {16, 64}, {48, 50}, {80, 50}};
    ins.sustainPoint = 2;
    ins.fadeout = 700;
    return ins;
}

XmInstrument make_lead() {
    const int loop = 16384;
    const double width = 0.28;
    auto bright = wavetable(loop, 28, [width](int h) { return std::sin(3.14159265 * h * width) / h * lowpass(h, 12); });
    auto dark = wavetable(loop, 28, [width](int h) { return std::sin(3.14159265 * h * width) / h * lowpass(h, 5); });
    const double f = 523.2511, rate = f * loop / 256;
    XmInstrument ins;
    ins.name = "lead";
    ins.sample = tonal("lead", loop, 1, rate, f, bright, dark, {{256, 1.0}, {257, 0.6}});
    ins.sample.volume = 64;
    ins.volumeEnvelope = {{0, 0}, {2, 64}, {14, 52}, {30, 52}};
    ins.sustainPoint = 2;
    ins.fadeout = 1600;
    ins.vibratoSweep = 40;
    ins.vibratoDepth = 4;
    ins.vibratoRate = 10;
    return ins;
}

XmInstrument make_pluck() {
    const int loop = 4096;
    auto bright = wavetable(loop, 28, [](int h) { return saw(h) * lowpass(h, 16); });
    auto dark = wavetable(loop, 28, [](int h) { return saw(h) * lowpass(h, 3); });
    const double f = 523.2511, rate = f * loop / 64;
    XmInstrument ins;
    ins.name = "pluck";
    ins.sample = tonal("pluck", loop, 4, rate, f, bright, dark, {{64, 1.0}});
    ins.sample.volume = 64;
    ins.sample.panning = 90;
    ins.volumeEnvelope = {{0, 64}, {6, 30}, {24, 10}, {60, 0}};
    ins.fadeout = 4000;
    return ins;
}

}  // namespace

std::vector<XmInstrument> make_instruments() {
    return {make_kick(), make_snare(), make_hat("closed hat", 0.02, 0.1, 40), make_hat("open hat", 0.16, 0.5, 34),
            make_crash(), make_tom(), make_bass(), make_pad(), make_lead(), make_pluck()};
}
