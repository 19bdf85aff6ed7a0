#include "win32/render_source.h"

#include <climits>

#define STB_VORBIS_HEADER_ONLY
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include TORVENKA_STB_VORBIS

std::unique_ptr<RenderSource> RenderSource::open(std::shared_ptr<const std::vector<uint8_t>> ogg, uint64_t frame) {
    if (!ogg || ogg->size() > static_cast<size_t>(INT_MAX)) return nullptr;
    std::unique_ptr<RenderSource> s(new RenderSource);
    s->ogg_ = std::move(ogg);
    int error = 0;
    s->decoder_ = stb_vorbis_open_memory(s->ogg_->data(), static_cast<int>(s->ogg_->size()), &error, nullptr);
    if (!s->decoder_) return nullptr;
    const stb_vorbis_info info = stb_vorbis_get_info(s->decoder_);
    if (info.sample_rate != pcm::kRate || info.channels < 1 || info.channels > 2) return nullptr;
    if (frame >= stb_vorbis_stream_length_in_samples(s->decoder_)) return nullptr;
    if (frame > 0 && !stb_vorbis_seek(s->decoder_, static_cast<unsigned>(frame))) return nullptr;
    return s;
}

RenderSource::~RenderSource() {
    if (decoder_) stb_vorbis_close(decoder_);
}

size_t RenderSource::read(int16_t* out, size_t frames) {
    size_t got = 0;
    while (got < frames) {
        // Mono renders are spread over both channels by the decoder.
        const int n = stb_vorbis_get_samples_short_interleaved(
            decoder_, pcm::kChannels, out + got * pcm::kChannels, static_cast<int>((frames - got) * pcm::kChannels));
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}
