// The themes' renders in plain C++ (sound/theme_render.h): where a render
// lies, the hash it records, a MIDI file's playing time, what a render says
// of itself, and when it may stand for a MIDI file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ogg_noise.h"
#include "sound/theme_render.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string sha256(const std::string& s) {
    return sound::sha256Hex(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

Bytes be32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }
Bytes chunk(const char* id, const Bytes& body) {
    Bytes b(id, id + 4);
    const Bytes length = be32(uint32_t(body.size()));
    b.insert(b.end(), length.begin(), length.end());
    b.insert(b.end(), body.begin(), body.end());
    return b;
}
Bytes midi(uint16_t division, const std::vector<Bytes>& tracks) {
    Bytes b = chunk("MThd", {0, 1, 0, uint8_t(tracks.size()), uint8_t(division >> 8), uint8_t(division)});
    for (const Bytes& t : tracks) {
        const Bytes c = chunk("MTrk", t);
        b.insert(b.end(), c.begin(), c.end());
    }
    return b;
}

}  // namespace

TEST(ThemeRender, LiesBesideItsThemeAsOgg) {
    EXPECT_EQ(sound::renderOf("dat/plomvex_s01.mid"), "dat/plomvex_s01.ogg");
    EXPECT_EQ(sound::renderOf("dat/RAVEDERU.MiD"), "dat/RAVEDERU.ogg");
    EXPECT_EQ(sound::renderOf("dat/a.b.mid"), "dat/a.b.ogg");
    EXPECT_EQ(sound::renderOf("dat/se1.wav"), "");
    EXPECT_EQ(sound::renderOf("dat/plomvex_s01.ogg"), "");
}

// FIPS 180-4's examples, one and two closing blocks, and many blocks.
TEST(ThemeRender, Sha256AsCMakeWritesIt) {
    EXPECT_EQ(sha256(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(sha256(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(ThemeRender, MidiPlayingTimeFollowsTheTempoMapToTheLongestTrack) {
    // 96 ticks a quarter: a quarter at the default 120 bpm (500 ms), then
    // 60 bpm; the second track ends two quarters after the tempo change,
    // with a system exclusive message and running status on the way.
    const Bytes conductor = {0, 0xFF, 0x03, 1, 'c', 96, 0xFF, 0x51, 3, 0x0F, 0x42, 0x40, 0, 0xFF, 0x2F, 0};
    const Bytes notes = {0, 0xF0, 2, 0x7E, 0xF7,       // system exclusive
                         0, 0xC0, 5,                   // program change
                         0, 0x90, 60, 100,             // note on
                         0x82, 0x20, 60, 0,            // 288 ticks on, running status: off
                         0, 64, 100, 0, 64, 0,         // on and off at once
                         0, 0xFF, 0x2F, 0};            // end of track
    const auto ms = sound::midiPlayingTimeMs(midi(96, {conductor, notes}));
    ASSERT_TRUE(ms);
    EXPECT_DOUBLE_EQ(*ms, 500 + 2 * 1000);
    // Time code: 25 frames a second, 40 ticks a frame; 1000 ticks is 1 s.
    const auto smpte = sound::midiPlayingTimeMs(midi(0xE728, {{0x87, 0x68, 0xFF, 0x2F, 0}}));
    ASSERT_TRUE(smpte);
    EXPECT_DOUBLE_EQ(*smpte, 1000);
    // The game's themes, as docs/sound.md gives them.
    const fs::path dat = fs::path(TORVENKA_SOURCE_DIR) / "dat";
    EXPECT_NEAR(sound::midiPlayingTimeMs(readFile(dat / "plomvex_s01.mid")).value_or(0), 86012, 1);
    EXPECT_NEAR(sound::midiPlayingTimeMs(readFile(dat / "ravederu.mid")).value_or(0), 116571, 1);
    // Not MIDI: no header, a track cut short, a data byte with no status.
    EXPECT_FALSE(sound::midiPlayingTimeMs({}));
    Bytes cut = midi(96, {notes});
    cut.resize(cut.size() - 3);
    EXPECT_FALSE(sound::midiPlayingTimeMs(cut));
    EXPECT_FALSE(sound::midiPlayingTimeMs(midi(96, {{0, 60, 100, 0, 0xFF, 0x2F, 0}})));
    EXPECT_FALSE(sound::midiPlayingTimeMs(midi(0, {conductor})));
}

// A render must be whole, the very bytes the build made, made from the very
// MIDI bytes, and end where they end when synthesised.
TEST(ThemeRender, StandsOnlyForTheMidiItWasMadeFromAndItsLength) {
    const fs::path dat = fs::path(TORVENKA_SOURCE_DIR) / "dat";
    const Bytes ogg = readFile(dat / "plomvex_s01.ogg"), mid = readFile(dat / "plomvex_s01.mid");
    if (ogg.empty()) GTEST_SKIP() << "dat/plomvex_s01.ogg is not rendered (no fluidsynth, oggenc or soundfont)";
    const auto info = sound::inspectRender(ogg);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->rate, 44100u);
    EXPECT_EQ(info->midiSha256, sound::sha256Hex(mid.data(), mid.size()));
    EXPECT_TRUE(sound::renderStandsFor(*info, mid));
    // The ring-out after the last event: 3.5 s (FluidSynth lets the last
    // notes end), within the bound.
    const double lengthMs = double(info->frames) * 1000 / info->rate;
    std::printf("[ render   ] plomvex_s01.ogg: %.3f s, its MIDI file %.3f s\n", lengthMs / 1000,
                sound::midiPlayingTimeMs(mid).value_or(0) / 1000);

    // Damaged, cut short, with bytes after its end: no render.
    for (size_t at : {size_t(30), size_t(4000), ogg.size() / 2, ogg.size() - 10}) {
        Bytes damaged = ogg;
        damaged[at] ^= 0x10;
        EXPECT_FALSE(sound::inspectRender(damaged)) << "a byte changed at " << at;
    }
    EXPECT_FALSE(sound::inspectRender(Bytes(ogg.begin(), ogg.begin() + long(ogg.size() / 2))));
    Bytes longer = ogg;
    longer.push_back(0);
    EXPECT_FALSE(sound::inspectRender(longer));
    // Noise in well-formed pages, with the render's own comments: the
    // render's own hash no longer holds. The same done to the file as it was
    // hashed (the digits as zeros) would leave the hash standing.
    const std::string text(ogg.begin(), ogg.end());
    const std::string noise = noiseInOggPages(text);
    ASSERT_NE(noise, text);
    EXPECT_FALSE(sound::inspectRender(Bytes(noise.begin(), noise.end()))) << "noise taken for the render";

    // Another MIDI file: one byte changed, or the other theme.
    Bytes changed = mid;
    changed[30] ^= 1;
    EXPECT_FALSE(sound::renderStandsFor(*info, changed));
    EXPECT_FALSE(sound::renderStandsFor(*info, readFile(dat / "ravederu.mid")));
    // Its hash, but too short for the MIDI file (cut where a decoder would
    // end it early) or ringing on too long.
    const double playingMs = sound::midiPlayingTimeMs(mid).value();
    for (const double ms : {playingMs - 50, playingMs + sound::kLongestRingOutMs + 50}) {
        sound::RenderInfo other = *info;
        other.frames = uint64_t(ms * 44.1);
        EXPECT_FALSE(sound::renderStandsFor(other, mid)) << ms << " ms";
    }
}

TEST(ThemeRender, PlayFromMillisecondsStartsAtThatFrame) {
    EXPECT_EQ(sound::renderFrameAt(0, 44100), 0u);
    EXPECT_EQ(sound::renderFrameAt(14, 44100), 617u);  // 617.4
    EXPECT_EQ(sound::renderFrameAt(1, 44100), 44u);
    EXPECT_EQ(sound::renderFrameAt(1000, 44100), 44100u);
    EXPECT_EQ(sound::renderFrameAt(2147483647, 48000), 103079215056u);
}
