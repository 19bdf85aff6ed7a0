// The sound files in dat/: the generator still makes them byte for byte, the
// effects are short, clean 16-bit PCM, and the themes are well-formed General
// MIDI files long enough for the parts of the dive they accompany.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "sound/theme_render.h"
#include "soundgen.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const char* const kFiles[] = {"se1.wav", "se2.wav", "se3.wav", "se4.wav", "plomvex_s01.mid", "ravederu.mid"};

fs::path datDir() { return fs::path(TORVENKA_SOURCE_DIR) / "dat"; }

Bytes readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t le(const Bytes& b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | b.at(at + i);
    return v;
}

std::uint32_t be(const Bytes& b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | b.at(at + i);
    return v;
}

// ---- WAV ------------------------------------------------------------------

struct Wav {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<std::int16_t> samples;  // interleaved
    std::string error;
};

Wav parseWav(const Bytes& b) {
    Wav w;
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE") {
        w.error = "not RIFF/WAVE";
        return w;
    }
    if (le(b, 4, 4) + 8 != b.size()) {
        w.error = "RIFF size does not match the file";
        return w;
    }
    bool haveFmt = false, haveData = false;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + at, b.begin() + at + 4);
        const std::uint32_t size = le(b, at + 4, 4);
        if (at + 8 + size > b.size()) {
            w.error = "chunk " + id + " runs past the end";
            return w;
        }
        if (id == "fmt ") {
            w.format = static_cast<int>(le(b, at + 8, 2));
            w.channels = static_cast<int>(le(b, at + 10, 2));
            w.rate = static_cast<int>(le(b, at + 12, 4));
            const std::uint32_t byteRate = le(b, at + 16, 4);
            const std::uint32_t align = le(b, at + 20, 2);
            w.bits = static_cast<int>(le(b, at + 22, 2));
            if (align != static_cast<std::uint32_t>(w.channels * w.bits / 8) ||
                byteRate != static_cast<std::uint32_t>(w.rate) * align) {
                w.error = "inconsistent fmt chunk";
                return w;
            }
            haveFmt = true;
        } else if (id == "data") {
            if (!haveFmt || w.bits != 16 || size % (2 * static_cast<std::uint32_t>(w.channels)) != 0) {
                w.error = "data chunk without a 16-bit fmt, or a partial frame";
                return w;
            }
            for (std::uint32_t i = 0; i < size; i += 2)
                w.samples.push_back(static_cast<std::int16_t>(le(b, at + 8 + i, 2)));
            haveData = true;
        }
        at += 8 + size + (size & 1);
    }
    if (!haveFmt || !haveData) w.error = "missing fmt or data chunk";
    return w;
}

// ---- MIDI -----------------------------------------------------------------

struct Midi {
    int format = -1, division = 0;
    std::vector<std::string> trackNames;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> tempos;  // tick, µs per quarter
    std::map<int, std::uint32_t> firstProgram;                    // channel -> tick
    std::map<int, std::uint32_t> firstNote;                       // channel -> tick
    std::map<int, int> notesOnChannel;
    std::string error;
};

std::uint32_t varLen(const Bytes& b, std::size_t& at, std::size_t end) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4 && at < end; ++i) {
        const std::uint8_t c = b[at++];
        v = (v << 7) | (c & 0x7F);
        if (!(c & 0x80)) return v;
    }
    throw std::runtime_error("bad variable-length number");
}

Midi parseMidi(const Bytes& b) {
    Midi m;
    try {
        if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd" || be(b, 4, 4) != 6)
            throw std::runtime_error("no MThd header");
        m.format = static_cast<int>(be(b, 8, 2));
        const std::uint32_t tracks = be(b, 10, 2);
        m.division = static_cast<int>(be(b, 12, 2));
        std::size_t at = 14;
        for (std::uint32_t t = 0; t < tracks; ++t) {
            if (at + 8 > b.size() || std::string(b.begin() + at, b.begin() + at + 4) != "MTrk")
                throw std::runtime_error("missing MTrk " + std::to_string(t));
            const std::size_t end = at + 8 + be(b, at + 4, 4);
            if (end > b.size()) throw std::runtime_error("track runs past the end");
            at += 8;
            std::uint32_t tick = 0;
            std::uint8_t status = 0;
            bool ended = false;
            std::string name;
            std::map<std::pair<int, int>, int> sounding;  // (channel, key) -> count
            while (at < end) {
                if (ended) throw std::runtime_error("events after End of Track");
                tick += varLen(b, at, end);
                std::uint8_t c = b.at(at);
                if (c == 0xFF) {
                    const std::uint8_t type = b.at(at + 1);
                    at += 2;
                    const std::uint32_t len = varLen(b, at, end);
                    if (type == 0x03) name.assign(b.begin() + at, b.begin() + at + len);
                    if (type == 0x51 && len == 3) m.tempos.emplace_back(tick, be(b, at, 3));
                    if (type == 0x2F) ended = true;
                    at += len;
                    continue;
                }
                if (c == 0xF0 || c == 0xF7) {
                    ++at;
                    at += varLen(b, at, end);
                    continue;
                }
                if (c & 0x80) {
                    status = c;
                    ++at;
                } else if (!status) {
                    throw std::runtime_error("running status with no status");
                }
                const int kind = status & 0xF0, ch = status & 0x0F;
                const int dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
                const std::uint8_t d1 = b.at(at), d2 = dataBytes == 2 ? b.at(at + 1) : 0;
                at += dataBytes;
                if (kind == 0xC0 && !m.firstProgram.count(ch)) m.firstProgram[ch] = tick;
                if (kind == 0x90 && d2 > 0) {
                    if (!m.firstNote.count(ch)) m.firstNote[ch] = tick;
                    ++m.notesOnChannel[ch];
                    ++sounding[{ch, d1}];
                } else if (kind == 0x80 || kind == 0x90) {
                    if (--sounding[{ch, d1}] < 0) throw std::runtime_error("note-off without a note");
                }
            }
            if (!ended) throw std::runtime_error("track without End of Track");
            for (const auto& [key, n] : sounding)
                if (n != 0) throw std::runtime_error("note left sounding in " + name);
            m.trackNames.push_back(name);
            at = end;
        }
    } catch (const std::exception& e) {
        m.error = e.what();
    }
    std::stable_sort(m.tempos.begin(), m.tempos.end());
    return m;
}

}  // namespace

TEST(SoundFiles, GeneratorReproducesCommittedFiles) {
    const fs::path dir = fs::temp_directory_path() /
                         ("torvenka_soundgen_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::string error;
    ASSERT_TRUE(soundgen::writeAll(dir, error)) << error;
    std::set<std::string> written;
    for (const auto& e : fs::directory_iterator(dir)) written.insert(e.path().filename().string());
    EXPECT_EQ(written, std::set<std::string>(std::begin(kFiles), std::end(kFiles)));
    for (const char* name : kFiles) {
        const Bytes made = readFile(dir / name), committed = readFile(datDir() / name);
        ASSERT_FALSE(committed.empty()) << "dat/" << name << " is missing";
        EXPECT_TRUE(made == committed) << name << " differs from dat/; run `soundgen dat` and commit";
    }
    fs::remove_all(dir);
}

TEST(SoundFiles, EffectsAreShortCleanPcm) {
    for (int n = 1; n <= 4; ++n) {
        const std::string name = "se" + std::to_string(n) + ".wav";
        SCOPED_TRACE(name);
        const Wav w = parseWav(readFile(datDir() / name));
        ASSERT_EQ(w.error, "");
        EXPECT_EQ(w.format, 1);
        EXPECT_TRUE(w.channels == 1 || w.channels == 2);
        EXPECT_EQ(w.bits, 16);
        EXPECT_TRUE(w.rate == 44100 || w.rate == 22050);
        const std::size_t frames = w.samples.size() / static_cast<std::size_t>(w.channels);
        const double duration = double(frames) / w.rate;
        EXPECT_LT(duration, 1.0);
        EXPECT_GT(duration, 0.1);

        int peak = 0;
        for (std::int16_t s : w.samples) peak = std::max(peak, std::abs(int(s)));
        EXPECT_LT(peak, 32767) << "reaches full scale";
        EXPECT_GT(peak, 8000) << "hardly audible";

        // No click: the sound starts and ends at (near) silence and does not
        // jump to a high level within its first or last quarter millisecond.
        const std::size_t edge = static_cast<std::size_t>(w.rate / 4000) * static_cast<std::size_t>(w.channels);
        int head = 0, tail = 0;
        for (std::size_t i = 0; i < edge; ++i) {
            head = std::max(head, std::abs(int(w.samples[i])));
            tail = std::max(tail, std::abs(int(w.samples[w.samples.size() - 1 - i])));
        }
        EXPECT_LE(std::abs(int(w.samples.front())), 330);
        EXPECT_LE(std::abs(int(w.samples.back())), 330);
        EXPECT_LT(head, 32767 / 20);
        EXPECT_LT(tail, 32767 / 20);
    }
}

TEST(SoundFiles, ThemesAreGeneralMidiFormat1OfTheirLength) {
    struct Theme {
        const char* name;
        double minSeconds;
    };
    double firstTempo[2] = {0, 0};
    const Theme themes[] = {{"plomvex_s01.mid", 70.0}, {"ravederu.mid", 110.0}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(themes[i].name);
        const Bytes bytes = readFile(datDir() / themes[i].name);
        const Midi m = parseMidi(bytes);
        ASSERT_EQ(m.error, "");
        EXPECT_EQ(m.format, 1);
        ASSERT_GT(m.division, 0);
        ASSERT_LT(m.division, 0x8000) << "expected ticks per quarter note";
        EXPECT_GE(m.trackNames.size(), 5u);
        for (const std::string& n : m.trackNames) EXPECT_FALSE(n.empty()) << "a track without a name";
        ASSERT_FALSE(m.tempos.empty());
        EXPECT_EQ(m.tempos.front().first, 0u);
        firstTempo[i] = 60e6 / m.tempos.front().second;

        // Melody, harmony and bass on instruments chosen by program change,
        // each before the channel's first note; percussion on channel 10.
        int melodic = 0;
        for (const auto& [ch, tick] : m.firstNote) {
            if (ch == 9) continue;
            ++melodic;
            if (!m.firstProgram.count(ch)) {
                ADD_FAILURE() << "channel " << ch + 1 << " has no program change";
                continue;
            }
            EXPECT_LE(m.firstProgram.at(ch), tick) << "channel " << ch + 1;
        }
        EXPECT_GE(melodic, 3);
        EXPECT_GT(m.notesOnChannel.count(9) ? m.notesOnChannel.at(9) : 0, 0) << "no percussion";

        EXPECT_GE(sound::midiPlayingTimeMs(bytes).value_or(0) / 1000, themes[i].minSeconds);
    }
    EXPECT_GT(firstTempo[1], firstTempo[0] * 1.5) << "the boss theme should be much faster";
}
