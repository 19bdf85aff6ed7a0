// Small, deterministic signal helpers for the effect synthesiser.
//
// Every sample of the game's effects is computed from +, -, *, / and floor
// only (no libm transcendental calls), so the generator writes the same bytes
// on every machine and with every optimisation level.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kLn2 = 0.69314718055994530942;

// sin(2*pi*turns), accurate to about 1e-9.
double sinTurns(double turns);
inline double cosTurns(double turns) { return sinTurns(turns + 0.25); }
// e^x for |x| < 700.
double expDet(double x);
// Hyperbolic tangent built on expDet, used as a soft saturator.
double tanhDet(double x);
// Frequency of a MIDI note number (69 = A4 = 440 Hz), fractional notes allowed.
double noteHz(double note);

// xorshift32 noise source with a fixed seed per effect.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : s_(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t next();
    // Uniform in [0, 1).
    double uniform() { return next() * (1.0 / 4294967296.0); }
    // Uniform in [-1, 1).
    double bipolar() { return uniform() * 2.0 - 1.0; }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }

private:
    std::uint32_t s_;
};

// Chamberlin state-variable filter: one call per sample gives the low-, band-
// and high-pass outputs. Cut-off may change every sample.
class StateVariableFilter {
public:
    struct Out {
        double low, band, high;
    };
    Out step(double in, double cutoffHz, double q, double sampleRate);

private:
    double low_ = 0.0, band_ = 0.0;
};

// One-pole smoother / low-pass.
class OnePole {
public:
    double step(double in, double cutoffHz, double sampleRate);

private:
    double y_ = 0.0;
};

// Mono 16-bit PCM buffer in the range [-1, 1].
struct Pcm {
    int sampleRate = 44100;
    std::vector<double> samples;
};

// Scales the buffer so its largest magnitude equals peak (peak < 1).
void normalize(Pcm& pcm, double peak);
// Raised-cosine fade-in and fade-out of the given lengths in seconds; the first
// and last samples become exactly zero.
void fadeEdges(Pcm& pcm, double fadeInSec, double fadeOutSec);
// RIFF/WAVE file bytes, 16-bit PCM, mono.
std::vector<std::uint8_t> encodeWav(const Pcm& pcm);

}  // namespace soundgen
