// The sound Windows' front end sends to the device, in plain C++ (no Windows
// headers, so the tests hold it on any system): the effects read from WAV
// files into the device's format, and the mixer that sums the game's two
// channels, the music stream and the effects, into each buffer the feeding
// thread hands the device.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace pcm {

// The device's format: 44.1 kHz, 16-bit signed, stereo, interleaved.
inline constexpr uint32_t kRate = 44100;
inline constexpr int kChannels = 2;

// An effect's whole sound in the device's format: frames of left, right.
using Samples = std::vector<int16_t>;

// The PCM of a WAV file (8-bit unsigned or 16-bit signed, mono or stereo,
// any rate) in the device's format; a rate other than kRate is resampled
// to the nearest sample. Nothing for a file that is not such a WAV file, or
// whose chunks do not fit in it.
std::optional<Samples> decodeWave(const std::vector<uint8_t>& bytes);

// Where the music stream's frames come from (the theme's render, decoded
// as it plays), in the device's format.
class MusicSource {
public:
    virtual ~MusicSource() = default;
    // Up to `frames` frames into `out`; fewer only at the end, 0 after it.
    virtual size_t read(int16_t* out, size_t frames) = 0;
};

// The game's channels summed into one stream: one music stream and one
// voice per effect channel. The game's thread starts and stops them; the
// feeding thread calls mix(). A voice that ends falls silent and stays so.
class Mixer {
public:
    explicit Mixer(int effectChannels) : effects_(static_cast<size_t>(effectChannels)) {}

    // An effect channel plays `sound` from `frame` on, cutting off what it
    // played before.
    void playEffect(int channel, std::shared_ptr<const Samples> sound, size_t frame);
    void stopEffect(int channel);
    // The music stream plays `source` in place of any other piece.
    void playMusic(std::unique_ptr<MusicSource> source);
    void stopMusic();

    // Fills `frames` frames with the sum of every voice, clipped to 16 bits;
    // silence where nothing plays.
    void mix(int16_t* out, size_t frames);

private:
    struct Effect {
        std::shared_ptr<const Samples> sound;
        size_t at = 0;  // the next frame to play
    };
    std::mutex lock_;
    std::vector<Effect> effects_;
    std::unique_ptr<MusicSource> music_;
    std::vector<int16_t> musicBuffer_;
};

}  // namespace pcm
