#include "win32/pcm_mix.h"

#include <algorithm>
#include <cstring>

namespace pcm {

namespace {

uint32_t le32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

int16_t clip(int32_t v) { return static_cast<int16_t>(std::clamp<int32_t>(v, -32768, 32767)); }

}  // namespace

std::optional<Samples> decodeWave(const std::vector<uint8_t>& b) {
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    uint16_t format = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    const uint8_t* data = nullptr;
    size_t dataBytes = 0;
    size_t at = 12;
    while (b.size() - at >= 8) {
        const uint32_t len = le32(b.data() + at + 4);
        if (len > b.size() - at - 8) return std::nullopt;
        const uint8_t* body = b.data() + at + 8;
        if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && len >= 16) {
            format = le16(body);
            channels = le16(body + 2);
            rate = le32(body + 4);
            bits = le16(body + 14);
        } else if (std::memcmp(b.data() + at, "data", 4) == 0) {
            data = body;
            dataBytes = len;
        }
        at += 8 + len + (len & 1);  // chunks are padded to an even length
        if (at > b.size()) break;
    }
    if (format != 1 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate == 0 || !data)
        return std::nullopt;
    const size_t bytesPerFrame = static_cast<size_t>(channels) * (bits / 8);
    const size_t inFrames = dataBytes / bytesPerFrame;
    const uint64_t outFrames = static_cast<uint64_t>(inFrames) * kRate / rate;
    auto sample = [&](size_t frame, int ch) -> int16_t {
        const uint8_t* p = data + frame * bytesPerFrame + static_cast<size_t>(ch) * (bits / 8);
        return bits == 8 ? static_cast<int16_t>((int{p[0]} - 128) * 256) : static_cast<int16_t>(le16(p));
    };
    Samples out(static_cast<size_t>(outFrames) * kChannels);
    for (uint64_t f = 0; f < outFrames; ++f) {
        const size_t from = static_cast<size_t>(f * rate / kRate);
        out[f * 2] = sample(from, 0);
        out[f * 2 + 1] = sample(from, channels == 2 ? 1 : 0);
    }
    return out;
}

void Mixer::playEffect(int channel, std::shared_ptr<const Samples> sound, size_t frame) {
    std::shared_ptr<const Samples> old;
    {
        std::lock_guard<std::mutex> hold(lock_);
        Effect& e = effects_.at(static_cast<size_t>(channel));
        old = std::move(e.sound);
        e.sound = std::move(sound);
        e.at = frame;
    }
}

void Mixer::stopEffect(int channel) {
    std::shared_ptr<const Samples> old;
    std::lock_guard<std::mutex> hold(lock_);
    old = std::move(effects_.at(static_cast<size_t>(channel)).sound);
}

void Mixer::playMusic(std::unique_ptr<MusicSource> source) {
    std::unique_ptr<MusicSource> old;
    {
        std::lock_guard<std::mutex> hold(lock_);
        old = std::move(music_);
        music_ = std::move(source);
    }
}

void Mixer::stopMusic() { playMusic(nullptr); }

void Mixer::mix(int16_t* out, size_t frames) {
    std::fill(out, out + frames * kChannels, int16_t{0});
    std::lock_guard<std::mutex> hold(lock_);
    if (music_) {
        musicBuffer_.resize(frames * kChannels);
        const size_t got = music_->read(musicBuffer_.data(), frames);
        std::copy(musicBuffer_.begin(), musicBuffer_.begin() + static_cast<std::ptrdiff_t>(got * kChannels), out);
        if (got < frames) music_.reset();  // played to its end: silent until the next piece
    }
    for (Effect& e : effects_) {
        if (!e.sound) continue;
        const size_t total = e.sound->size() / kChannels;
        const size_t n = e.at < total ? std::min(frames, total - e.at) : 0;
        const int16_t* s = e.sound->data() + e.at * kChannels;
        for (size_t i = 0; i < n * kChannels; ++i) out[i] = clip(int32_t{out[i]} + s[i]);
        e.at += n;
        if (e.at >= total) e.sound.reset();
    }
}

}  // namespace pcm
