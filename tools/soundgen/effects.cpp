#include "effects.h"

#include <algorithm>
#include <cmath>

namespace soundgen {
namespace {

constexpr int kRate = 44100;
constexpr double kPeak = 0.89;  // about -1 dBFS

Pcm blank(double seconds) {
    Pcm p;
    p.sampleRate = kRate;
    p.samples.assign(static_cast<std::size_t>(seconds * kRate), 0.0);
    return p;
}

// Linear rise from 0 to 1 over the first `len` seconds.
double attack(double t, double len) { return t >= len ? 1.0 : std::max(0.0, t / len); }

void finish(Pcm& p, double fadeIn, double fadeOut) {
    normalize(p, kPeak);
    fadeEdges(p, fadeIn, fadeOut);
}

// A struck bar: inharmonic partials, each with its own decay.
struct Partial {
    double ratio, amp, decay;
};

}  // namespace

Pcm tankOpened() {
    Pcm p = blank(0.85);
    Noise noise(0x7A11C0DEu);
    StateVariableFilter rush, air;
    OnePole flutter;

    // The bubbles: many early on, fewer and smaller (higher) as the stream thins.
    struct Bubble {
        double start, hz, rise, decay, amp, phase;
    };
    Noise scatter(0x00B0BB1Eu);
    std::vector<Bubble> bubbles;
    for (int i = 0; i < 18; ++i) {
        const double u = scatter.uniform();
        const double start = 0.04 + 0.72 * u * u;
        const double hz = scatter.range(320.0, 950.0) * (1.0 + 0.9 * start);
        bubbles.push_back({start, hz, scatter.range(1.2, 2.6), scatter.range(0.014, 0.032),
                           scatter.range(0.45, 1.0) * (1.0 - 0.55 * start), 0.0});
    }

    double knockPhase = 0.0;
    for (std::size_t i = 0; i < p.samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;

        // Air: a sharp burst as the valve opens, then a steady rush that dies
        // down; its colour darkens as the pressure falls.
        const double env = attack(t, 0.010) *
                           (0.55 * expDet(-t / 0.06) + 0.45 * expDet(-t / 0.30)) *
                           std::min(1.0, (0.85 - t) / 0.25);
        const double wobble = 1.0 + 5.0 * flutter.step(noise.bipolar(), 22.0, kRate);
        const double w = noise.bipolar();
        const double fc = 1500.0 + 4800.0 * expDet(-t / 0.22);
        const auto r = rush.step(w, fc, 0.9, kRate);
        const auto a = air.step(w, 7500.0, 0.7, kRate);
        const double hiss = (0.9 * r.band + 0.12 * a.high) * env * wobble;

        // The valve knock.
        knockPhase += (58.0 + 50.0 * expDet(-t / 0.02)) / kRate;
        const double knock = sinTurns(knockPhase) * attack(t, 0.002) * expDet(-t / 0.03);

        // Bubbles: short sine chirps that rise as each bubble shrinks.
        double pops = 0.0;
        for (Bubble& b : bubbles) {
            const double age = t - b.start;
            if (age < 0.0 || age > 6.0 * b.decay) continue;
            const double hz = b.hz * (1.0 + 0.12 * b.rise * age / b.decay);
            b.phase += hz / kRate;
            pops += b.amp * sinTurns(b.phase) * attack(age, 0.0015) * expDet(-age / b.decay);
        }

        p.samples[i] = 0.75 * hiss + 0.42 * pops + 0.5 * knock;
    }
    finish(p, 0.003, 0.05);
    return p;
}

Pcm creatureDefeated() {
    Pcm p = blank(0.95);
    Noise noise(0x5EADBEEFu);
    StateVariableFilter crack;
    double thumpPhase = 0.0, tonePhase = 0.0, subPhase = 0.0;
    const double toneStart = 0.025, toneLen = 0.9;

    for (std::size_t i = 0; i < p.samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;

        // The blow: a dark crack of noise and a body thump that drops in pitch.
        const double c = crack.step(noise.bipolar(), 2400.0, 0.8, kRate).low;
        const double impact = c * attack(t, 0.001) * expDet(-t / 0.02);
        thumpPhase += (40.0 + 140.0 * expDet(-t / 0.04)) / kRate;
        const double thump = sinTurns(thumpPhase) * attack(t, 0.002) * expDet(-t / 0.17);

        // The falling tone: two and a half octaves down, quick at first, with
        // a widening wobble as the creature sinks away.
        double tone = 0.0;
        const double age = t - toneStart;
        if (age >= 0.0) {
            const double u = std::min(1.0, age / toneLen);
            const double vib = (0.08 + 0.5 * u) * sinTurns(6.5 * age);
            const double note = 81.0 - 30.0 * (1.0 - (1.0 - u) * (1.0 - u)) + vib;
            const double hz = noteHz(note);
            tonePhase += hz / kRate;
            subPhase += 0.5 * hz / kRate;
            const double bright = 0.72 - 0.4 * u;
            double harm = 0.0, g = 1.0;
            for (int k = 1; k <= 6; ++k) {
                if (hz * k < 16000.0) harm += g / k * sinTurns(k * tonePhase);
                g *= bright;
            }
            const double env = attack(age, 0.008) * (1.0 - u) * (1.0 - u * 0.3);
            tone = env * (harm + 0.35 * sinTurns(subPhase));
        }

        p.samples[i] = tanhDet(1.5 * (0.6 * impact + 1.0 * thump + 0.42 * tone));
    }
    finish(p, 0.002, 0.06);
    return p;
}

Pcm chime() {
    Pcm p = blank(0.62);
    Noise noise(0xC41AE5u);
    StateVariableFilter tick;
    // A small steel bar: the partials of a free bar, the upper ones short.
    const Partial bar[] = {{1.0, 1.0, 0.30},  {2.0, 0.18, 0.16}, {2.756, 0.42, 0.09},
                           {5.404, 0.2, 0.045}, {8.933, 0.08, 0.022}};
    struct Strike {
        double start, note, level;
    };
    const Strike strikes[] = {{0.0, 88.0, 0.75}, {0.07, 95.0, 1.0}};  // E6, then B6

    for (std::size_t i = 0; i < p.samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        double s = 0.0;
        for (const Strike& k : strikes) {
            const double age = t - k.start;
            if (age < 0.0) continue;
            const double f0 = noteHz(k.note);
            for (const Partial& q : bar) {
                const double hz = f0 * q.ratio;
                if (hz >= 20000.0) continue;
                // A slightly detuned twin on the fundamental makes it shimmer.
                double v = sinTurns(hz * age);
                if (q.ratio == 1.0) v = 0.5 * (v + sinTurns((hz + 3.0) * age));
                s += k.level * q.amp * v * expDet(-age / q.decay);
            }
            s += 0.25 * k.level * tick.step(noise.bipolar(), 9000.0, 0.7, kRate).high *
                 attack(age, 0.0005) * expDet(-age / 0.004);
        }
        p.samples[i] = s * attack(t, 0.0015);
    }
    finish(p, 0.002, 0.09);
    return p;
}

Pcm spearSwish() {
    Pcm p = blank(0.42);
    Noise noise(0x5BEA12u);
    StateVariableFilter swish, whistle;
    const Partial blade[] = {{1.0, 1.0, 0.12}, {2.756, 0.8, 0.08}, {5.404, 0.5, 0.05}};
    const double peakAt = 0.11, ringStart = 0.085;
    double ringPhase = 0.0;

    for (std::size_t i = 0; i < p.samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;

        // The blade cuts the water: the swell peaks as it passes the mask and
        // its pitch rises and falls with it.
        double shape;
        if (t < peakAt) {
            const double s = sinTurns(0.25 * t / peakAt);
            shape = s * s;
        } else {
            shape = expDet(-(t - peakAt) / 0.075);
        }
        const double fc = 650.0 * expDet(kLn2 * 3.0 * shape);
        const double w = noise.bipolar();
        const double air = swish.step(w, fc, 3.2, kRate).band +
                           0.6 * whistle.step(w, fc * 1.7, 7.0, kRate).band;

        // The metal of the spear head rings briefly, bending down as it goes.
        double ring = 0.0;
        const double age = t - ringStart;
        if (age >= 0.0) {
            ringPhase += noteHz(91.0 - 1.5 * std::min(1.0, age / 0.2)) / kRate;
            for (const Partial& q : blade)
                ring += q.amp * sinTurns(q.ratio * ringPhase) * expDet(-age / q.decay);
            ring *= attack(age, 0.002);
        }

        p.samples[i] = 0.85 * air * shape + 0.34 * ring;
    }
    finish(p, 0.003, 0.03);
    return p;
}

}  // namespace soundgen
