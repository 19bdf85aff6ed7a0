#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <thread>

#include "ogg_noise.h"
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
std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
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
    // The dive theme and this build's render of it, in the test's dat/ as
    // the game names them; false when the build made no render.
    bool copyDiveTheme() {
        const fs::path render = fs::path(TORVENKA_BINARY_DIR) / "theme-renders" / "plomvex_s01.ogg";
        if (!fs::exists(render)) return false;
        fs::create_directories(dir / "dat");
        const auto over = fs::copy_options::overwrite_existing;
        fs::copy_file(fs::path(TORVENKA_SOURCE_DIR) / "dat" / "plomvex_s01.mid", dir / "dat/plomvex_s01.mid", over);
        fs::copy_file(render, dir / "dat/plomvex_s01.ogg", over);
        return true;
    }
    // Whether a MIDI file can sound here: SDL_mixer's synthesiser finds a
    // soundfont for the test's piano notes.
    bool midiCanSound() const {
        ScopedEnv drv("SDL_AUDIODRIVER", "dummy");
        Sink probe(files);
        return probe.send(open("notes.mid", "audio1")) == sound::kOk;
    }
    // A player's own dive theme: the same notes under another track name.
    void changeDiveTheme() {
        std::string mid = readFile(dir / "dat/plomvex_s01.mid");
        const size_t name = mid.find("\xFF\x03");
        ASSERT_NE(name, std::string::npos);
        mid[name + 3] ^= 0x20;
        writeFile(dir / "dat/plomvex_s01.mid", mid);
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

// The soundfont is chosen when the first MIDI file has to be synthesised,
// and not before: playing a theme's render leaves it alone.
TEST_F(SinkTest, SoundFontSettings) {
    ScopedEnv drv("SDL_AUDIODRIVER", "dummy");
    {
        ScopedEnv sf("SDL_SOUNDFONTS", "/nowhere/a.sf2");  // the environment wins
        Sink sink(files);
        sink.send(open("notes.mid", "audio1"));
        EXPECT_STREQ(Mix_GetSoundFonts(), "/nowhere/a.sf2");
    }
    ScopedEnv sf("SDL_SOUNDFONTS", nullptr);
    Mix_SetSoundFonts("/nowhere/b.sf2");  // names nothing: the game's own choice takes over
    Sink sink(files);
    if (copyDiveTheme()) {
        EXPECT_EQ(sink.send(open("dat/plomvex_s01.mid", "audio1")), sound::kOk);
        EXPECT_EQ(sink.send("play audio1 from 14 notify"), sound::kOk);
        EXPECT_NE(Mix_GetMusicType(nullptr), MUS_MID);
    }
    EXPECT_STREQ(Mix_GetSoundFonts(), "/nowhere/b.sf2") << "the synthesiser was set up with nothing to synthesise";
    sink.send(open("notes.mid", "se2"));
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
// command was sent, the index the last wait ended at (after it the sink is
// closed: music unhooked, the driver may still write a buffer of silence),
// and the results.
struct Recording {
    std::vector<int16_t> samples;
    std::vector<size_t> at, after;
    size_t end = 0;
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
        r.end = fs::file_size(raw) / 2;
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

// Where the render's samples from `renderAt` on come out, the first 100 ms
// of them sample for sample, between two sample indices; SIZE_MAX if nowhere.
size_t whereRenderSounds(const std::vector<int16_t>& out, const std::vector<int16_t>& render, size_t renderAt,
                         size_t from, size_t to) {
    const size_t n = 8820;
    for (size_t at = from & ~size_t(1); at < to && at + n <= out.size(); at += 2)
        if (std::equal(out.begin() + long(at), out.begin() + long(at + n), render.begin() + long(renderAt)))
            return at;
    return SIZE_MAX;
}

// How many samples differ from the render's own over the stretch.
size_t samplesNotTheRenders(const std::vector<int16_t>& out, size_t from, size_t to, const std::vector<int16_t>& render,
                            size_t renderAt) {
    size_t differ = 0;
    for (size_t i = from; i < to; ++i) differ += out[i] != render.at(renderAt + i - from);
    return differ;
}

// The dive theme as the desktop mixes it is its render's own samples, from
// the render's frame 617 ("from 14": 14 ms at 44.1 kHz, where the page
// starts it too), at full music volume, where SDL_mixer copies the decoded
// samples into the output unchanged: nothing is allowed to differ. Played
// again, it starts again. A changed MIDI file is synthesised instead.
// The dive theme's render in the test's dat/, decoded by oggdec: 16-bit
// stereo samples; empty without oggdec.
std::vector<int16_t> decodedDiveTheme(const fs::path& dir) {
    const fs::path decoded = dir / "render.raw";
    if (std::system(("oggdec -Q -R -o '" + decoded.string() + "' '" + (dir / "dat/plomvex_s01.ogg").string() + "'")
                        .c_str()) != 0)
        return {};
    const std::string raw = readFile(decoded);
    std::vector<int16_t> render(raw.size() / 2);
    std::memcpy(render.data(), raw.data(), render.size() * 2);
    return render;
}

const size_t kFrom14 = 617 * 2, kBuffer = 1024 * 2;  // in samples, two a frame

TEST_F(SinkTest, DiskDriverPlaysTheDiveThemesRenderSampleForSample) {
    if (!copyDiveTheme()) GTEST_SKIP() << "this build made no renders (fluidsynth, oggenc or the soundfont missing)";
    const std::vector<int16_t> render = decodedDiveTheme(dir);
    if (render.empty()) GTEST_SKIP() << "no oggdec (vorbis-tools) to decode the render with";
    const size_t from14 = kFrom14, buffer = kBuffer;

    const auto theme = record(files, dir / "theme.raw",
                              {{open("dat/plomvex_s01.mid", "audio1"), 0},
                               {"play audio1 from 14 notify", 1.5},
                               {"play audio1 from 14 notify", 1.5}});
    ASSERT_EQ(theme.results, (std::vector<int>{0, 0, 0}));
    const std::vector<int16_t>& out = theme.samples;
    // Each play starts the render at the head of the next mixer buffer.
    const size_t first = whereRenderSounds(out, render, from14, theme.at[1], theme.after[1] + 4 * buffer);
    const size_t again = whereRenderSounds(out, render, from14, theme.at[2], theme.after[2] + 4 * buffer);
    ASSERT_NE(first, SIZE_MAX) << "the render's samples from frame 617 never came out";
    ASSERT_NE(again, SIZE_MAX) << "played again, the theme did not start again";
    EXPECT_EQ(first % buffer, 0u);
    EXPECT_EQ(again % buffer, 0u);
    EXPECT_TRUE(std::all_of(out.begin(), out.begin() + long(first), [](int16_t v) { return v == 0; }));
    // Until the second play is sent; the buffer it is mixed in may be silence.
    EXPECT_EQ(samplesNotTheRenders(out, first, theme.at[2], render, from14), 0u);
    EXPECT_EQ(samplesNotTheRenders(out, again, theme.end, render, from14), 0u);
    std::printf("[ sound    ] dive theme: %.2f s and, played again, %.2f s equal to its render from frame 617; "
                "loudest 50 ms RMS %.0f\n",
                double(again - first) / 88200, double(theme.end - again) / 88200, loudest(out, first));

    changeDiveTheme();
    if (!midiCanSound()) GTEST_SKIP() << "no General MIDI soundfont installed: a changed MIDI file cannot sound";
    const auto live =
        record(files, dir / "live.raw", {{open("dat/plomvex_s01.mid", "audio1"), 0}, {"play audio1 from 14 notify", 1.5}});
    ASSERT_EQ(live.results, (std::vector<int>{0, 0}));
    EXPECT_EQ(whereRenderSounds(live.samples, render, from14, live.at[1], live.samples.size()), SIZE_MAX);
    EXPECT_EQ(whereRenderSounds(live.samples, render, 0, live.at[1], live.samples.size()), SIZE_MAX);
    const double synthesised = loudest(live.samples, live.at[1]);
    std::printf("[ sound    ] the changed dive theme, synthesised: loudest 50 ms RMS %.0f\n", synthesised);
    EXPECT_GT(synthesised, 300.0);
}

// A theme plays its render only where the render stands for the MIDI file the
// game names: else the MIDI file is synthesised, or without a synthesiser
// nothing sounds. Without a soundfont the render plays, and nothing is said.
// What sounds is told apart by the disk driver's output: the render's own
// samples from frame 617, or other music.
TEST_F(SinkTest, ThemePlaysItsRenderOnlyWhereItStandsForTheMidiFile) {
    if (!copyDiveTheme()) GTEST_SKIP() << "this build made no renders (fluidsynth, oggenc or the soundfont missing)";
    const std::vector<int16_t> decoded = decodedDiveTheme(dir);
    if (decoded.empty()) GTEST_SKIP() << "no oggdec (vorbis-tools) to decode the render with";
    const auto played = [&]() -> std::string {
        const auto r = record(files, dir / "theme.raw",
                              {{open("dat/plomvex_s01.mid", "audio1"), 0}, {"play audio1 from 14 notify", 0.3}});
        if (r.results != std::vector<int>{0, 0}) return "nothing";
        if (whereRenderSounds(r.samples, decoded, kFrom14, r.at[1], r.after[1] + 4 * kBuffer) != SIZE_MAX)
            return "render";
        // Noise at full scale clips thousands of samples a second; the
        // synthesiser hardly one.
        const auto clipped = std::count_if(r.samples.begin() + long(r.at[1]), r.samples.end(),
                                           [](int16_t v) { return v == 32767 || v == -32768; });
        if (clipped > 200) return "noise";
        return loudest(r.samples, r.at[1]) > 300 ? "MIDI" : "silence";
    };
    {
        ScopedEnv sf("SDL_SOUNDFONTS", "/nowhere/a.sf2");
        EXPECT_EQ(played(), "render");
        ScopedEnv drv("SDL_AUDIODRIVER", "dummy");  // the disk driver has its say on stderr
        ::testing::internal::CaptureStderr();
        {
            Sink sink(files);
            EXPECT_EQ(sink.send(open("dat/plomvex_s01.mid", "audio1")), sound::kOk);
            EXPECT_EQ(sink.send("play audio1 from 14 notify"), sound::kOk);
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    }
    const bool synthesiser = midiCanSound();
    const fs::path ogg = dir / "dat/plomvex_s01.ogg";
    const std::string render = readFile(ogg);
    const std::pair<const char*, std::function<void()>> passedOver[] = {
        {"a changed MIDI file", [&] { changeDiveTheme(); }},
        {"no render", [&] { fs::remove(ogg); }},
        {"a render cut short", [&] { writeFile(ogg, render.substr(0, render.size() - 5000)); }},
        {"a damaged render", [&] { writeFile(ogg, render.substr(0, 9000) + "\x01" + render.substr(9001)); }},
        {"the other theme's render",
         [&] { writeFile(ogg, readFile(fs::path(TORVENKA_BINARY_DIR) / "theme-renders" / "ravederu.ogg")); }},
        {"noise in the render's well-formed pages", [&] { writeFile(ogg, noiseInOggPages(render)); }},
        {"a render of 300 MB", [&] { fs::resize_file(ogg, uintmax_t{300} << 20); }},
        {"a FIFO for a render", [&] { fs::remove(ogg), mkfifo(ogg.c_str(), 0600); }},
    };
    for (const auto& [what, make] : passedOver) {
        ASSERT_TRUE(copyDiveTheme());
        make();
        EXPECT_EQ(played(), synthesiser ? "MIDI" : "nothing") << what;
        // The last resort: with no soundfont either, the theme is not heard.
        ScopedEnv sf("SDL_SOUNDFONTS", "/nowhere/a.sf2");
        EXPECT_EQ(played(), "nothing") << what << ", and no soundfont";
    }
}

// The peak resident memory of this process, in kB, from the last reset on.
long peakKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// A file of any kind is looked at before it is read: one too large for its
// kind (300 MB, sparse), a FIFO with no writer or a device is refused at
// once and costs no memory.
TEST_F(SinkTest, HugeAndEndlessFilesAreNotRead) {
    ScopedEnv drv("SDL_AUDIODRIVER", "dummy");
    Sink sink(files);
    ASSERT_TRUE(sink.ready());
    for (const char* f : {"huge.wav", "huge.mid"}) {
        std::ofstream(dir / f) << (f[5] == 'w' ? "RIFF\xff\xff\xff\x7fWAVEfmt " : "MThd");
        fs::resize_file(dir / f, uintmax_t{300} << 20);
    }
    ASSERT_EQ(mkfifo((dir / "fifo.wav").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir / "fifo.mid").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir / "zero.wav");
    fs::create_symlink("/dev/zero", dir / "zero.mid");
    {
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5";  // the peak starts again from what is resident now
    }
    const long before = peakKb();
    for (const char* f : {"huge.wav", "huge.mid", "fifo.wav", "fifo.mid", "zero.wav", "zero.mid"})
        EXPECT_EQ(sink.send(open(f, "a")), sound::kLoad) << f;
    const long grew = peakKb() - before;
    std::printf("[ sound    ] the peak resident memory grew by %ld kB\n", grew);
    EXPECT_LT(grew, 32 * 1024) << "a file was read whole";
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

    if (!midiCanSound()) GTEST_SKIP() << "no General MIDI soundfont installed: MIDI cannot sound";
    const auto mid =
        record(files, dir / "mid.raw", {{open("notes.mid", "audio1"), 0}, {"play audio1 from 14 notify", 1.5}});
    EXPECT_EQ(mid.results, (std::vector<int>{0, 0})) << "a soundfont is installed, yet the MIDI file did not play";
    const double piano = loudest(mid.samples, mid.at.at(1));
    std::printf("[ sound    ] MIDI piano: loudest 50 ms RMS %.0f\n", piano);
    EXPECT_GT(piano, 300.0) << "the MIDI back end is silent";
}

}  // namespace
