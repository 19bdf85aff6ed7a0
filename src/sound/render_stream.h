// A theme's render played as the desktop's music: decoded by libvorbisfile
// in batches of 16384 frames (0.37 s) and handed to SDL_mixer through its
// music hook, where SDL_mixer's own Ogg music decodes one mixer buffer (1024
// frames) at a time. The same decoder gives the same samples; decoding in
// batches costs well under half the processor time, since the decoder's
// tables are cold again at every buffer (docs/sound-layer.md, "The themes'
// renders").
//
// Only one render sounds at a time: the one on the hook. SDL_mixer's own
// music (a MIDI file synthesised) does not sound while a render is on it.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

struct _SDL_AudioStream;
struct OggVorbis_File;

class RenderStream {
public:
    // The render in `ogg`, which the stream keeps, for a mixer of this
    // frequency, sample format and channel count (converted through an SDL
    // audio stream, a plain copy where the formats agree). Nothing when
    // libvorbisfile cannot open it.
    static std::unique_ptr<RenderStream> open(std::vector<uint8_t> ogg, int freq, uint16_t format, int channels);
    ~RenderStream();
    RenderStream(const RenderStream&) = delete;
    RenderStream& operator=(const RenderStream&) = delete;

    // Its own frames a second.
    uint32_t rate() const { return rate_; }
    // Puts the render on the hook from sample frame `frame` on, in place of
    // any other music; false, with nothing on the hook, when the frame is at
    // or past its end.
    bool play(uint64_t frame);
    // Takes whatever render is on the hook off it.
    static void unhook();

private:
    struct Reader;
    RenderStream() = default;
    static void mix(void* self, uint8_t* out, int len);
    void decodeBatch();

    // The render's bytes, which libvorbisfile reads from where it left off.
    struct Source {
        std::vector<uint8_t> bytes;
        size_t at = 0;
    };
    Source source_;
    std::unique_ptr<OggVorbis_File> file_;
    _SDL_AudioStream* stream_ = nullptr;  // decoded, on its way to the mixer
    std::vector<char> batch_;
    uint32_t rate_ = 0;
    bool ended_ = false;
};
