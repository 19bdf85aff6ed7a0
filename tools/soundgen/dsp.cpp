#include "dsp.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

double sinTurns(double turns) {
    double t = turns - std::floor(turns);  // [0, 1)
    if (t >= 0.5) t -= 1.0;                // [-0.5, 0.5)
    if (t > 0.25)
        t = 0.5 - t;
    else if (t < -0.25)
        t = -0.5 - t;                      // [-0.25, 0.25], same sine
    const double x = t * 2.0 * kPi;        // [-pi/2, pi/2]
    const double x2 = x * x;
    // Taylor series to x^15, evaluated Horner-style.
    double p = -1.0 / 1307674368000.0;
    p = p * x2 + 1.0 / 6227020800.0;
    p = p * x2 - 1.0 / 39916800.0;
    p = p * x2 + 1.0 / 362880.0;
    p = p * x2 - 1.0 / 5040.0;
    p = p * x2 + 1.0 / 120.0;
    p = p * x2 - 1.0 / 6.0;
    p = p * x2 + 1.0;
    return p * x;
}

double expDet(double x) {
    const double k = std::floor(x / kLn2 + 0.5);
    const double r = x - k * kLn2;  // |r| <= ln2 / 2
    double p = 1.0 / 479001600.0;   // 1/12!
    const double inv[] = {1.0 / 39916800.0, 1.0 / 3628800.0, 1.0 / 362880.0, 1.0 / 40320.0,
                          1.0 / 5040.0,     1.0 / 720.0,     1.0 / 120.0,    1.0 / 24.0,
                          1.0 / 6.0,        1.0 / 2.0,       1.0,            1.0};
    for (double c : inv) p = p * r + c;
    return std::ldexp(p, static_cast<int>(k));
}

double tanhDet(double x) {
    if (x > 20.0) return 1.0;
    if (x < -20.0) return -1.0;
    const double e = expDet(2.0 * x);
    return (e - 1.0) / (e + 1.0);
}

double noteHz(double note) { return 440.0 * expDet((note - 69.0) * kLn2 / 12.0); }

std::uint32_t Noise::next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
}

StateVariableFilter::Out StateVariableFilter::step(double in, double cutoffHz, double q,
                                                   double sampleRate) {
    // Two passes per sample keep the filter stable up to high cut-offs.
    const double f = 2.0 * sinTurns(std::min(cutoffHz, sampleRate * 0.24) / (4.0 * sampleRate));
    const double damp = 1.0 / q;
    Out o{};
    for (int i = 0; i < 2; ++i) {
        low_ += f * band_;
        o.high = in - low_ - damp * band_;
        band_ += f * o.high;
    }
    o.low = low_;
    o.band = band_;
    return o;
}

double OnePole::step(double in, double cutoffHz, double sampleRate) {
    const double a = 1.0 - expDet(-2.0 * kPi * cutoffHz / sampleRate);
    y_ += a * (in - y_);
    return y_;
}

void normalize(Pcm& pcm, double peak) {
    double m = 0.0;
    for (double s : pcm.samples) m = std::max(m, std::fabs(s));
    if (m <= 0.0) return;
    const double g = peak / m;
    for (double& s : pcm.samples) s *= g;
}

void fadeEdges(Pcm& pcm, double fadeInSec, double fadeOutSec) {
    const std::size_t n = pcm.samples.size();
    if (n == 0) return;
    const auto fin = static_cast<std::size_t>(fadeInSec * pcm.sampleRate);
    const auto fout = static_cast<std::size_t>(fadeOutSec * pcm.sampleRate);
    for (std::size_t i = 0; i < fin && i < n; ++i) {
        const double u = static_cast<double>(i) / static_cast<double>(fin);
        pcm.samples[i] *= 0.5 - 0.5 * cosTurns(0.5 * u);
    }
    for (std::size_t i = 0; i < fout && i < n; ++i) {
        const double u = static_cast<double>(i) / static_cast<double>(fout);
        pcm.samples[n - 1 - i] *= 0.5 - 0.5 * cosTurns(0.5 * u);
    }
}

namespace {
void put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
void putTag(std::vector<std::uint8_t>& b, const char* tag) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(tag[i]));
}
}  // namespace

std::vector<std::uint8_t> encodeWav(const Pcm& pcm) {
    const auto dataBytes = static_cast<std::uint32_t>(pcm.samples.size() * 2);
    std::vector<std::uint8_t> b;
    b.reserve(44 + dataBytes);
    putTag(b, "RIFF");
    put32(b, 36 + dataBytes);
    putTag(b, "WAVE");
    putTag(b, "fmt ");
    put32(b, 16);
    put16(b, 1);  // PCM
    put16(b, 1);  // mono
    put32(b, static_cast<std::uint32_t>(pcm.sampleRate));
    put32(b, static_cast<std::uint32_t>(pcm.sampleRate * 2));
    put16(b, 2);   // block align
    put16(b, 16);  // bits per sample
    putTag(b, "data");
    put32(b, dataBytes);
    for (double s : pcm.samples) {
        const double c = std::clamp(s, -1.0, 1.0);
        const auto v = static_cast<std::int32_t>(std::floor(c * 32767.0 + 0.5));
        put16(b, static_cast<std::uint32_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(v))));
    }
    return b;
}

}  // namespace soundgen
