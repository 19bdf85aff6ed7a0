// The channel rules every back end shares (sound/channel_rules.h): a file's
// kind by its extension, and which music alias the one music stream holds;
// and how Windows' back end mixes the two channels itself (win32/pcm_mix.h).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "sound/channel_rules.h"
#include "win32/pcm_mix.h"

using sound::FileKind;
using sound::fileKind;
using sound::MusicStream;

TEST(ChannelRules, FileKindGoesByTheLastPartsExtensionInAnyCase) {
    EXPECT_EQ(fileKind("dat/plomvex_s01.mid"), FileKind::kMusic);
    EXPECT_EQ(fileKind("dat/RAVEDERU.MiD"), FileKind::kMusic);
    EXPECT_EQ(fileKind("dat/se1.wav"), FileKind::kEffect);
    EXPECT_EQ(fileKind("se1.WAV"), FileKind::kEffect);
    EXPECT_EQ(fileKind("dat/a.b.c..wav"), FileKind::kEffect);
    EXPECT_EQ(fileKind("dat/.hidden.mid"), FileKind::kMusic);
    // Neither kind: another extension, none, only a leading dot, a folder.
    EXPECT_EQ(fileKind("dat/plomvex_s01.ogg"), FileKind::kUnknown);
    EXPECT_EQ(fileKind("dat/se1.wave"), FileKind::kUnknown);
    EXPECT_EQ(fileKind("dat/se1"), FileKind::kUnknown);
    EXPECT_EQ(fileKind("dat/se1."), FileKind::kUnknown);
    EXPECT_EQ(fileKind("dat/.wav"), FileKind::kUnknown);
    EXPECT_EQ(fileKind(".mid"), FileKind::kUnknown);
    EXPECT_EQ(fileKind("x.wav/"), FileKind::kUnknown);
    EXPECT_EQ(fileKind("x.mid/se1"), FileKind::kUnknown);
    EXPECT_EQ(fileKind(""), FileKind::kUnknown);
}

TEST(ChannelRules, ThePieceStartedLastHoldsTheMusicStream) {
    MusicStream stream;
    EXPECT_EQ(stream.take("audio1"), "");
    EXPECT_TRUE(stream.heldBy("audio1"));
    EXPECT_EQ(stream.take("audio1"), "");  // starting again cuts nothing off
    EXPECT_EQ(stream.take("audio2"), "audio1");
    EXPECT_FALSE(stream.heldBy("audio1"));
    EXPECT_TRUE(stream.heldBy("audio2"));
    // Stopping an alias that no longer holds the stream leaves it alone.
    EXPECT_FALSE(stream.release("audio1"));
    EXPECT_TRUE(stream.heldBy("audio2"));
    EXPECT_TRUE(stream.release("audio2"));
    EXPECT_FALSE(stream.heldBy("audio2"));
    EXPECT_FALSE(stream.release("audio2"));
    EXPECT_FALSE(stream.heldBy(""));
    EXPECT_EQ(stream.take("audio1"), "");
}

namespace {

// Music that sounds `value` on both channels for `frames` frames, and
// counts itself gone when the mixer lets it go.
class SteadyMusic : public pcm::MusicSource {
public:
    SteadyMusic(int16_t value, size_t frames, bool& gone) : value_(value), left_(frames), gone_(gone) {}
    ~SteadyMusic() override { gone_ = true; }
    size_t read(int16_t* out, size_t frames) override {
        const size_t n = std::min(frames, left_);
        std::fill(out, out + n * pcm::kChannels, value_);
        left_ -= n;
        return n;
    }

private:
    int16_t value_;
    size_t left_;
    bool& gone_;
};

std::vector<int16_t> mixed(pcm::Mixer& m, size_t frames) {
    std::vector<int16_t> out(frames * pcm::kChannels, 99);
    m.mix(out.data(), frames);
    return out;
}

std::shared_ptr<const pcm::Samples> ramp(size_t frames, int16_t from) {
    pcm::Samples s;
    for (size_t f = 0; f < frames; ++f) s.insert(s.end(), 2, static_cast<int16_t>(from + f));
    return std::make_shared<const pcm::Samples>(std::move(s));
}

}  // namespace

TEST(WindowsMixer, BothChannelsSumClipAndFallSilentAtTheirEnds) {
    pcm::Mixer m(2);
    EXPECT_EQ(mixed(m, 4), std::vector<int16_t>(8, 0));  // nothing plays: silence, not what was there

    bool gone = false;
    m.playMusic(std::make_unique<SteadyMusic>(1000, 6, gone));
    m.playEffect(0, ramp(3, 10), 1);  // from its second frame
    EXPECT_EQ(mixed(m, 4), (std::vector<int16_t>{1011, 1011, 1012, 1012, 1000, 1000, 1000, 1000}));
    // The music ends two frames into the next buffer and is let go.
    EXPECT_EQ(mixed(m, 4), (std::vector<int16_t>{1000, 1000, 1000, 1000, 0, 0, 0, 0}));
    EXPECT_TRUE(gone);
    EXPECT_EQ(mixed(m, 2), std::vector<int16_t>(4, 0));

    // Loud voices together are clipped to 16 bits, both ways.
    m.playEffect(0, std::make_shared<const pcm::Samples>(pcm::Samples{30000, -30000}), 0);
    m.playEffect(1, std::make_shared<const pcm::Samples>(pcm::Samples{30000, -30000}), 0);
    EXPECT_EQ(mixed(m, 1), (std::vector<int16_t>{32767, -32768}));

    // A new effect on a channel cuts off the one it played; stopping a
    // channel silences it alone.
    m.playEffect(0, ramp(10, 100), 0);
    m.playEffect(1, ramp(10, 200), 0);
    m.playEffect(0, ramp(10, 300), 0);
    EXPECT_EQ(mixed(m, 1), (std::vector<int16_t>{500, 500}));
    m.stopEffect(1);
    EXPECT_EQ(mixed(m, 1), (std::vector<int16_t>{301, 301}));
    gone = false;
    m.playMusic(std::make_unique<SteadyMusic>(7, 100, gone));
    m.stopMusic();
    EXPECT_TRUE(gone);
    EXPECT_EQ(mixed(m, 1), (std::vector<int16_t>{302, 302}));
}

TEST(WindowsMixer, WaveFilesInTheDevicesFormat) {
    // The game's own effects: 16-bit mono at the device's rate, each sample
    // on both channels.
    std::ifstream f(std::string(TORVENKA_SOURCE_DIR) + "/dat/se3.wav", std::ios::binary);
    const std::vector<uint8_t> se3{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    ASSERT_GT(se3.size(), 44u);
    const std::optional<pcm::Samples> effect = pcm::decodeWave(se3);
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->size(), (se3.size() - 44) / 2 * 2);
    const size_t mid = effect->size() / 4 * 2;
    EXPECT_EQ((*effect)[mid], (*effect)[mid + 1]);
    EXPECT_EQ((*effect)[mid], static_cast<int16_t>(se3[44 + mid] | (se3[44 + mid + 1] << 8)));

    // 8-bit stereo at half the rate, with an odd-sized chunk before the
    // data: every frame twice, centred on 0.
    auto le = [](std::vector<uint8_t>& b, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    std::vector<uint8_t> w{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    le(w, 16, 4), le(w, 1, 2), le(w, 2, 2), le(w, 22050, 4), le(w, 44100, 4), le(w, 2, 2), le(w, 8, 2);
    w.insert(w.end(), {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0});
    w.insert(w.end(), {'d', 'a', 't', 'a', 4, 0, 0, 0, 128, 255, 0, 128});
    const std::optional<pcm::Samples> small = pcm::decodeWave(w);
    ASSERT_TRUE(small);
    EXPECT_EQ(*small, (pcm::Samples{0, 127 * 256, 0, 127 * 256, -128 * 256, 0, -128 * 256, 0}));

    // Not played: a chunk that runs past the file's end, a compressed
    // format, no data at all.
    std::vector<uint8_t> cut = w;
    cut[cut.size() - 8] = 5;
    EXPECT_FALSE(pcm::decodeWave(cut));
    std::vector<uint8_t> compressed = w;
    compressed[20] = 2;
    EXPECT_FALSE(pcm::decodeWave(compressed));
    EXPECT_FALSE(pcm::decodeWave(std::vector<uint8_t>(w.begin(), w.begin() + 36)));
}
