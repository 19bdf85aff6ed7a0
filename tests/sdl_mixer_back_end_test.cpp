#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "sound/command_player.h"
#include "sound/sdl_mixer_back_end.h"
#include "sound/sound_font.h"

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for the life of the object.
struct ScopedEnv {
    const char* name;
    std::optional<std::string> old;
    ScopedEnv(const char* n, const char* v) : name(n) {
        if (const char* o = getenv(n)) old = o;
        v ? setenv(n, v, 1) : unsetenv(n);
    }
    ~ScopedEnv() { old ? setenv(name, old->c_str(), 1) : unsetenv(name); }
};

std::string le(uint32_t v, int bytes) {
    std::string s;
    for (int k = 0; k < bytes; ++k) s += char(v >> (8 * k) & 0xFF);
    return s;
}
std::string be32(uint32_t v) { return {char(v >> 24), char(v >> 16 & 0xFF), char(v >> 8 & 0xFF), char(v & 0xFF)}; }
void writeFile(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }
std::string midi(const std::string& track) {
    return "MThd" + be32(6) + std::string{0, 0, 0, 1, 0, 96} + "MTrk" + be32(uint32_t(track.size())) + track;
}

// The files a test writes are found as the game's are, by the name in the
// command: here inside the test's own folder.
struct FolderFiles : sound::SoundFiles {
    fs::path dir;
    std::string locate(const std::string& name) const override { return (dir / name).string(); }
};

// The SDL back end behind the command player, as the game drives it.
struct Sink {
    SdlMixerBackEnd mixer;
    sound::CommandPlayer player{mixer};
    explicit Sink(const sound::SoundFiles& files) : mixer(files) {}
    int send(const std::string& command) { return player.send(command); }
    bool ready() const { return mixer.ready(); }
    bool isOpen(const std::string& alias) const { return mixer.isOpen(alias); }
};

const double kSineRms = 16384 / std::sqrt(2.0);

struct SinkTest : ::testing::Test {
    fs::path dir;
    FolderFiles files;
    void SetUp() override {
        std::string t = (fs::temp_directory_path() / "torvenka-sound-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(t.data()));
        dir = files.dir = t;
        // Two seconds of a 440 Hz sine at half scale, 22.05 kHz mono 16-bit.
        std::string pcm;
        for (int i = 0; i < 44100; ++i) pcm += le(uint16_t(int16_t(16384 * std::sin(2 * M_PI * 440 * i / 22050.0))), 2);
        writeFile(dir / "sine.wav", "RIFF" + le(36 + uint32_t(pcm.size()), 4) + "WAVEfmt " + le(16, 4) + le(1, 2) +
                                        le(1, 2) + le(22050, 4) + le(44100, 4) + le(2, 2) + le(16, 2) + "data" +
                                        le(uint32_t(pcm.size()), 4) + pcm);
        // Four quarter-second notes on the GM piano (program 0).
        std::string ev = {0, char(0xC0), 0};
        for (char n : {60, 64, 67, 72}) ev += {0, char(0x90), n, 100, 48, char(0x80), n, 0};
        writeFile(dir / "notes.mid", midi(ev + std::string{0, char(0xFF), 0x2F, 0}));
    }
    void TearDown() override { fs::remove_all(dir); }
    static std::string open(const std::string& file, const std::string& alias) {
        return "open \"" + file + "\" alias " + alias;
    }
};

TEST_F(SinkTest, AliasRulesAndSyntax) {
    ScopedEnv drv("SDL_AUDIODRIVER", "dummy");
    Sink sink(files);
    ASSERT_TRUE(sink.ready()) << SDL_GetError();
    Sink second(files);  // the mixer is taken
    EXPECT_EQ(second.send(open("sine.wav", "se1")), sound::kNoAudio);

    EXPECT_EQ(sink.send(open("sine.wav", "se1")), sound::kOk);
    EXPECT_EQ(sink.send(open("sine.wav", "SE1")), sound::kAlias);
    EXPECT_EQ(sink.send(open("sine.wav", "se2")), sound::kOk);
    EXPECT_EQ(sink.send("play se1 from 0 notify"), sound::kOk);
    EXPECT_EQ(sink.send("play se2 from 500"), sound::kOk);
    EXPECT_EQ(Mix_Playing(-1), 2);  // each alias on a channel of its own
    EXPECT_EQ(sink.send("play se2 from 2000"), sound::kPlay);  // the end of the sound
    EXPECT_EQ(sink.send("play audio1 from 0 notify"), sound::kAlias);
    EXPECT_EQ(sink.send("stop se1"), sound::kOk);
    EXPECT_EQ(sink.send("close se1"), sound::kOk);
    EXPECT_EQ(sink.send("stop se1"), sound::kAlias);
    EXPECT_EQ(sink.send("close se1"), sound::kAlias);
    EXPECT_EQ(sink.send(open("sine.wav", "se1")), sound::kOk);
    for (const char* bad : {"", "seek se1 to 0", "play se1", "play se1 from -3", "play se1 from 0 wait", "stop",
                            "close se1 now", "open \"x.wav alias a", "open \"x.wav\" as a", "open \"x.wav\"alias a"})
        EXPECT_EQ(sink.send(bad), sound::kSyntax) << bad;
}

TEST_F(SinkTest, MissingAndBrokenFilesFailQuietly) {
    {
        ScopedEnv drv("SDL_AUDIODRIVER", "no-such-driver");  // no sound device
        Sink none(files);
        EXPECT_FALSE(none.ready());
        EXPECT_EQ(none.send(open("sine.wav", "se1")), sound::kNoAudio);
    }
    ScopedEnv drv("SDL_AUDIODRIVER", "dummy");
    Sink sink(files);
    ASSERT_TRUE(sink.ready());
    std::string junk(3000, '\0');
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = char(i * 2654435761u >> 13);
    for (const char* f : {"zero.wav", "zero.mid"}) writeFile(dir / f, "");
    for (const char* f : {"junk.wav", "junk.mid"}) writeFile(dir / f, junk);
    writeFile(dir / "cut.mid", midi(junk).substr(0, 1000));
    writeFile(dir / "notes.txt", midi(""));
    for (const char* f : {"nodat/se1.wav", "nodat/ravederu.mid", "zero.wav", "zero.mid", "junk.wav", "junk.mid",
                          "cut.mid", "notes.txt"}) {
        EXPECT_EQ(sink.send(open(f, "a")), sound::kLoad) << f;
        EXPECT_FALSE(sink.isOpen("a")) << f;
    }
    // A well-formed MIDI file whose track is noise: nothing breaks, nothing
    // is printed.
    writeFile(dir / "noise.mid", midi(junk));
    ::testing::internal::CaptureStderr();
    if (sink.send(open("noise.mid", "audio1")) == sound::kOk) {
        sink.send("play audio1 from 0");
        SDL_Delay(100);
        EXPECT_EQ(sink.send("close audio1"), sound::kOk);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(SinkTest, SoundFontSettings) {
    ScopedEnv drv("SDL_AUDIODRIVER", "dummy");
    {
        ScopedEnv sf("SDL_SOUNDFONTS", "/nowhere/a.sf2");  // the environment wins
        Sink sink(files);
        EXPECT_STREQ(Mix_GetSoundFonts(), "/nowhere/a.sf2");
    }
    ScopedEnv sf("SDL_SOUNDFONTS", nullptr);
    Mix_SetSoundFonts("/nowhere/b.sf2");  // names nothing: the game's own choice takes over
    Sink sink(files);
    const char* expected = fs::exists(sound::kTimGM6mb)    ? sound::kTimGM6mb
                           : fs::exists(sound::kDefaultGM) ? sound::kDefaultGM
                                                           : "/nowhere/b.sf2";
    EXPECT_STREQ(Mix_GetSoundFonts(), expected);
}

// The order in which a soundfont is chosen, on made-up installations.
TEST(SoundFont, EnvironmentThenTimGM6mbThenMixerThenDefaultGM) {
    const std::string timgm = sound::kTimGM6mb, defaultGM = sound::kDefaultGM;
    struct Case {
        const char* environment;
        bool timgm, mixer, defaultGM;
        std::optional<std::string> chosen;
    } cases[] = {
        {"/mine.sf2", true, true, true, std::nullopt},  // SDL_SOUNDFONTS stays in force
        {"", true, false, true, timgm},                 // set but empty counts as unset
        {nullptr, true, true, true, timgm},             // TimGM6mb even over SDL_mixer's own setting
        {nullptr, false, true, true, std::nullopt},     // SDL_mixer's own setting
        {nullptr, false, false, true, defaultGM},
        {nullptr, false, false, false, std::nullopt},   // no soundfont at all: MIDI stays silent
    };
    for (const Case& c : cases) {
        const auto exists = [&](const char* path) {
            return (path == timgm && c.timgm) || (path == defaultGM && c.defaultGM);
        };
        EXPECT_EQ(sound::soundFontToSet(c.environment, [&] { return c.mixer; }, exists), c.chosen)
            << (c.environment ? c.environment : "unset") << " " << c.timgm << c.mixer << c.defaultGM;
    }
}

// Plays through SDL's disk driver. After each command the test waits until
// `then` seconds more output have been written. Gives the 16-bit stereo
// samples at 44.1 kHz, the sample indices written before and after each
// command was sent, and the results.
struct Recording {
    std::vector<int16_t> samples;
    std::vector<size_t> at, after;
    std::vector<int> results;
};
Recording record(const sound::SoundFiles& files, const fs::path& raw,
                 const std::vector<std::pair<std::string, double>>& steps) {
    ScopedEnv drv("SDL_AUDIODRIVER", "disk"), file("SDL_DISKAUDIOFILE", raw.c_str());
    ScopedEnv delay("SDL_DISKAUDIODELAY", "2");  // about ten times real time
    Recording r;
    {
        Sink sink(files);
        int freq = 0, channels = 0;
        Uint16 format = 0;
        if (!sink.ready() || !Mix_QuerySpec(&freq, &format, &channels) || freq * channels != 88200 ||
            format != AUDIO_S16SYS)
            return r;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (const auto& [command, then] : steps) {
            const auto now = fs::file_size(raw);
            r.at.push_back(now / 2);
            r.results.push_back(command.empty() ? 0 : sink.send(command));
            r.after.push_back(fs::file_size(raw) / 2);
            const auto want = now + uintmax_t(then * 88200) * 2;
            while (fs::file_size(raw) < want && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    std::ifstream in(raw, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    r.samples.resize(bytes.size() / 2);
    std::memcpy(r.samples.data(), bytes.data(), r.samples.size() * 2);
    return r;
}

// RMS of the loudest 50 ms between two sample indices.
double loudest(const std::vector<int16_t>& s, size_t from = 0, size_t to = SIZE_MAX) {
    double best = 0;
    for (size_t at = from; at + 4410 <= std::min(to, s.size()); at += 4410) {
        double sum = 0;
        for (size_t i = at; i < at + 4410; ++i) sum += double(s[i]) * s[i];
        best = std::max(best, std::sqrt(sum / 4410));
    }
    return best;
}

TEST_F(SinkTest, DiskDriverCarriesWaveAndMidi) {
    const auto quiet = record(files, dir / "quiet.raw", {{"", 0.5}});
    ASSERT_GT(quiet.samples.size(), 40000u) << "the disk driver wrote nothing";
    EXPECT_EQ(loudest(quiet.samples), 0.0);

    // The sine at full level until it is stopped, then silence (after two
    // mixer buffers already mixed).
    const auto wav = record(files, dir / "wav.raw",
                            {{open("sine.wav", "se1"), 0}, {"play se1 from 0 notify", 0.6}, {"stop se1", 0.4}});
    EXPECT_EQ(wav.results, (std::vector<int>{0, 0, 0}));
    ASSERT_EQ(wav.at.size(), 3u);
    const double playing = loudest(wav.samples, wav.at[1], wav.at[2]);
    const double stopped = loudest(wav.samples, wav.after[2] + 4096);
    std::printf("[ sound    ] WAV sine: loudest 50 ms RMS %.0f (sine %.0f), after stop %.0f\n", playing, kSineRms,
                stopped);
    EXPECT_NEAR(playing, kSineRms, kSineRms * 0.1);
    EXPECT_EQ(stopped, 0.0);

    {
        ScopedEnv drv("SDL_AUDIODRIVER", "dummy");
        Sink probe(files);
        if (!Mix_EachSoundFont([](const char* p, void*) { return fs::is_regular_file(p) ? 1 : 0; }, nullptr))
            GTEST_SKIP() << "no General MIDI soundfont installed: MIDI cannot sound";
    }
    const auto mid =
        record(files, dir / "mid.raw", {{open("notes.mid", "audio1"), 0}, {"play audio1 from 14 notify", 1.5}});
    EXPECT_EQ(mid.results, (std::vector<int>{0, 0})) << "a soundfont is installed, yet the MIDI file did not play";
    const double piano = loudest(mid.samples, mid.at.at(1));
    std::printf("[ sound    ] MIDI piano: loudest 50 ms RMS %.0f\n", piano);
    EXPECT_GT(piano, 300.0) << "the MIDI back end is silent";
}

}  // namespace
