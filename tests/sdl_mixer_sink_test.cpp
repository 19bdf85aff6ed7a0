#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "sound/sdl_mixer_sink.h"

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = getenv(name)) old_ = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

void put16(std::string& s, unsigned v) { s += char(v & 0xFF), s += char(v >> 8 & 0xFF); }
void put32(std::string& s, uint32_t v) { put16(s, v & 0xFFFF), put16(s, v >> 16); }
void be32(std::string& s, uint32_t v) { for (int k = 3; k >= 0; --k) s += char(v >> (8 * k) & 0xFF); }

void writeFile(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

// A 22.05 kHz mono 16-bit sine of 440 Hz at half of full scale.
void writeSineWav(const fs::path& p, double seconds) {
    const uint32_t n = static_cast<uint32_t>(22050 * seconds);
    std::string s = "RIFF";
    put32(s, 36 + n * 2);
    s += "WAVEfmt ";
    put32(s, 16), put16(s, 1), put16(s, 1), put32(s, 22050), put32(s, 44100), put16(s, 2), put16(s, 16);
    s += "data";
    put32(s, n * 2);
    for (uint32_t i = 0; i < n; ++i)
        put16(s, static_cast<uint16_t>(static_cast<int16_t>(16384 * std::sin(2 * M_PI * 440 * i / 22050.0))));
    writeFile(p, s);
}

// Four quarter-second piano notes (GM program 0) at 120 beats a minute.
void writeMidi(const fs::path& p) {
    std::string ev = {0, char(0xC0), 0};
    for (char note : {60, 64, 67, 72}) ev += {0, char(0x90), note, 100, 48, char(0x80), note, 0};
    ev += {0, char(0xFF), 0x2F, 0};
    std::string s = "MThd";
    be32(s, 6);
    s += {0, 0, 0, 1, 0, 96};
    s += "MTrk";
    be32(s, static_cast<uint32_t>(ev.size()));
    writeFile(p, s + ev);
}

struct SinkTest : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "torvenka-sound-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
        writeSineWav(dir / "sine.wav", 2.0);
        writeMidi(dir / "notes.mid");
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string openCmd(const std::string& file, const std::string& alias) {
        return "open \"" + (dir / file).string() + "\" alias " + alias;
    }
    static bool soundFontInstalled() {
        return Mix_EachSoundFont([](const char* p, void*) { return fs::is_regular_file(p) ? 1 : 0; }, nullptr) != 0;
    }
};

TEST_F(SinkTest, AliasRules) {
    ScopedEnv drv("SDL_AUDIODRIVER", "dummy");
    SdlMixerSink sink;
    ASSERT_TRUE(sink.ready()) << SDL_GetError();
    SdlMixerSink second;  // the mixer is taken
    EXPECT_EQ(second.send(openCmd("sine.wav", "se1")), SdlMixerSink::kNoAudio);

    EXPECT_EQ(sink.send(openCmd("sine.wav", "se1")), SdlMixerSink::kOk);
    EXPECT_EQ(sink.send(openCmd("sine.wav", "SE1")), SdlMixerSink::kAlias);  // already open
    EXPECT_EQ(sink.send(openCmd("sine.wav", "se2")), SdlMixerSink::kOk);     // a channel of its own
    EXPECT_EQ(sink.send("play se1 from 0 notify"), SdlMixerSink::kOk);
    EXPECT_EQ(sink.send("play se2 from 500"), SdlMixerSink::kOk);
    EXPECT_EQ(Mix_Playing(-1), 2);
    EXPECT_EQ(sink.send("play se2 from 2000"), SdlMixerSink::kPlay);  // past the end
    EXPECT_EQ(sink.send("play audio1 from 0 notify"), SdlMixerSink::kAlias);
    EXPECT_EQ(sink.send("stop se1"), SdlMixerSink::kOk);
    EXPECT_EQ(sink.send("close se1"), SdlMixerSink::kOk);
    EXPECT_FALSE(sink.isOpen("se1"));
    EXPECT_EQ(sink.send("stop se1"), SdlMixerSink::kAlias);
    EXPECT_EQ(sink.send("close se1"), SdlMixerSink::kAlias);
    EXPECT_EQ(sink.send(openCmd("sine.wav", "se1")), SdlMixerSink::kOk);  // reopened after close

    for (const char* bad : {"", "   ", "seek se1 to 0", "play se1", "play se1 from -3", "play se1 from 1x",
                            "play se1 from 0 wait", "stop", "close se1 now", "open \"x.wav alias a",
                            "open \"x.wav\" as a", "open \"x.wav\"alias a"})
        EXPECT_EQ(sink.send(bad), SdlMixerSink::kSyntax) << bad;
}

TEST_F(SinkTest, BrokenFilesFailQuietly) {
    ScopedEnv drv("SDL_AUDIODRIVER", "dummy");
    SdlMixerSink sink;
    ASSERT_TRUE(sink.ready());
    writeFile(dir / "zero.wav", "");
    writeFile(dir / "zero.mid", "");
    std::mt19937 gen(7);
    std::string junk(3000, '\0');
    for (char& c : junk) c = static_cast<char>(gen());
    writeFile(dir / "junk.wav", junk);
    writeFile(dir / "junk.mid", junk);
    writeFile(dir / "junkhead.mid", "RIFF" + junk);
    writeFile(dir / "notes.txt", "MThd");
    for (const char* f : {"nodat/se1.wav", "nodat/plomvex_s01.mid", "zero.wav", "zero.mid", "junk.wav", "junk.mid",
                          "junkhead.mid", "notes.txt", "."}) {
        EXPECT_EQ(sink.send(openCmd(f, "a")), SdlMixerSink::kLoad) << f;
        EXPECT_FALSE(sink.isOpen("a")) << f;
    }
    // A MIDI file whose track is noise: it may play nothing, but nothing
    // breaks and nothing is printed.
    std::string midi = "MThd";
    be32(midi, 6);
    midi += {0, 0, 0, 1, 0, 96};
    midi += "MTrk";
    be32(midi, static_cast<uint32_t>(junk.size()));
    writeFile(dir / "noise.mid", midi + junk);
    ::testing::internal::CaptureStderr();
    if (sink.send(openCmd("noise.mid", "audio1")) == SdlMixerSink::kOk) {
        sink.send("play audio1 from 0");
        SDL_Delay(100);
        EXPECT_EQ(sink.send("close audio1"), SdlMixerSink::kOk);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(SinkTest, NoSoundDeviceFailsEveryCommand) {
    ScopedEnv drv("SDL_AUDIODRIVER", "no-such-driver");
    SdlMixerSink sink;
    EXPECT_FALSE(sink.ready());
    for (const std::string& c : {openCmd("sine.wav", "se1"), std::string("play se1 from 0 notify"),
                                 std::string("stop se1"), std::string("close se1"), std::string("bogus")})
        EXPECT_EQ(sink.send(c), SdlMixerSink::kNoAudio) << c;
}

TEST_F(SinkTest, SoundFontSettings) {
    ScopedEnv drv("SDL_AUDIODRIVER", "dummy");
    {
        // An environment setting wins over everything.
        ScopedEnv sf("SDL_SOUNDFONTS", "/nowhere/a.sf2");
        SdlMixerSink sink;
        ASSERT_TRUE(sink.ready());
        EXPECT_STREQ(Mix_GetSoundFonts(), "/nowhere/a.sf2");
    }
    ScopedEnv sf("SDL_SOUNDFONTS", nullptr);
    // A setting that names no existing file gives way to the system default.
    Mix_SetSoundFonts("/nowhere/b.sf2");
    SdlMixerSink sink;
    ASSERT_TRUE(sink.ready());
    if (fs::exists(SdlMixerSink::kFallbackSoundFont))
        EXPECT_STREQ(Mix_GetSoundFonts(), SdlMixerSink::kFallbackSoundFont);
    else
        EXPECT_STREQ(Mix_GetSoundFonts(), "/nowhere/b.sf2");
}

// Plays through SDL's disk driver: each command is sent, then the test waits
// until `then` seconds more output have been written. Returns the 16-bit
// samples written, where each command was sent, and each result.
struct Step {
    std::string command;  // empty: just wait
    double then;
};
struct Recording {
    std::vector<int16_t> samples;
    std::vector<size_t> at;
    std::vector<int> results;
};

Recording record(const fs::path& raw, const std::vector<Step>& steps) {
    ScopedEnv drv("SDL_AUDIODRIVER", "disk");
    ScopedEnv file("SDL_DISKAUDIOFILE", raw.c_str());
    ScopedEnv delay("SDL_DISKAUDIODELAY", "2");  // about ten times faster than real time
    Recording r;
    {
        SdlMixerSink sink;
        if (!sink.ready()) return r;
        int freq = 0, channels = 0;
        Uint16 format = 0;
        Mix_QuerySpec(&freq, &format, &channels);
        EXPECT_EQ(format, AUDIO_S16SYS);
        EXPECT_EQ(freq * channels, 88200);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (const Step& s : steps) {
            const auto now = fs::file_size(raw);
            r.at.push_back(now / 2);
            r.results.push_back(s.command.empty() ? 0 : sink.send(s.command));
            const auto want = now + static_cast<uintmax_t>(s.then * 88200) * 2;
            while (fs::file_size(raw) < want && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    std::ifstream in(raw, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    r.samples.resize(bytes.size() / 2);
    std::memcpy(r.samples.data(), bytes.data(), r.samples.size() * 2);
    return r;
}

// The loudest 50 ms of a 44.1 kHz stereo recording between two sample
// indices, as an RMS value.
double loudestRms(const std::vector<int16_t>& s, size_t from = 0, size_t to = SIZE_MAX) {
    const size_t win = 4410;
    to = std::min(to, s.size());
    double best = 0;
    for (size_t at = from; at + win <= to; at += win) {
        double sum = 0;
        for (size_t i = at; i < at + win; ++i) sum += double(s[i]) * s[i];
        best = std::max(best, std::sqrt(sum / win));
    }
    return best;
}

TEST_F(SinkTest, DiskDriverCarriesTheSound) {
    const auto quiet = record(dir / "quiet.raw", {{"", 0.5}});
    ASSERT_GT(quiet.samples.size(), 40000u) << "the disk driver wrote nothing";
    EXPECT_EQ(loudestRms(quiet.samples), 0.0);

    // The sine at full level until it is stopped, then silence (two mixer
    // buffers of grace for what was already mixed).
    const double sineRms = 16384 / std::sqrt(2.0);
    const auto wav = record(dir / "wav.raw", {{openCmd("sine.wav", "se1"), 0},
                                              {"play se1 from 0 notify", 0.6},
                                              {"stop se1", 0.4}});
    EXPECT_EQ(wav.results, (std::vector<int>{0, 0, 0}));
    const double playing = loudestRms(wav.samples, wav.at[1], wav.at[2]);
    const double stopped = loudestRms(wav.samples, wav.at[2] + 4096);
    std::printf("[ sound    ] WAV sine: loudest 50 ms RMS %.0f (sine %.0f), after stop %.0f\n", playing, sineRms,
                stopped);
    EXPECT_NEAR(playing, sineRms, sineRms * 0.1);
    EXPECT_EQ(stopped, 0.0);

    {
        ScopedEnv drv("SDL_AUDIODRIVER", "dummy");
        SdlMixerSink probe;
        if (!soundFontInstalled()) GTEST_SKIP() << "no General MIDI soundfont installed: MIDI cannot sound";
    }
    const auto mid =
        record(dir / "mid.raw", {{openCmd("notes.mid", "audio1"), 0}, {"play audio1 from 14 notify", 1.5}});
    EXPECT_EQ(mid.results, (std::vector<int>{0, 0})) << "a soundfont is installed, yet the MIDI file did not play";
    const double midRms = loudestRms(mid.samples, mid.at[1]);
    std::printf("[ sound    ] MIDI piano: loudest 50 ms RMS %.0f over %.2f s\n", midRms,
                (mid.samples.size() - mid.at[1]) / 88200.0);
    EXPECT_GT(midRms, 300.0) << "the MIDI back end is silent";
}

}  // namespace
