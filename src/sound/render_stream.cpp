#include "sound/render_stream.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstring>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

namespace {

constexpr int kBatchFrames = 16384;

// The render on SDL_mixer's music hook, if any, so that a render going away
// takes itself off. Only the game's thread reads or sets it: the mixer's
// thread knows the render only as the hook's argument, which Mix_HookMusic
// sets under SDL_mixer's lock after play() has set the stream up, so the
// mixer never sees a stream half set up.
RenderStream* g_hooked = nullptr;

}  // namespace

// libvorbisfile reads the render from memory.
struct RenderStream::Reader {
    static size_t read(void* to, size_t size, size_t count, void* source) {
        auto& s = *static_cast<Source*>(source);
        const size_t n = size ? std::min(count, (s.bytes.size() - s.at) / size) : 0;
        std::memcpy(to, s.bytes.data() + s.at, n * size);
        s.at += n * size;
        return n;
    }
    static int seek(void* source, ogg_int64_t offset, int whence) {
        auto& s = *static_cast<Source*>(source);
        const auto size = static_cast<ogg_int64_t>(s.bytes.size());
        const ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<ogg_int64_t>(s.at) : size;
        if (base + offset < 0 || base + offset > size) return -1;
        s.at = static_cast<size_t>(base + offset);
        return 0;
    }
    static long tell(void* source) { return static_cast<long>(static_cast<Source*>(source)->at); }
};

std::unique_ptr<RenderStream> RenderStream::open(std::vector<uint8_t> ogg, int freq, uint16_t format, int channels) {
    std::unique_ptr<RenderStream> r(new RenderStream);
    r->source_.bytes = std::move(ogg);
    auto file = std::make_unique<OggVorbis_File>();
    const ov_callbacks callbacks = {Reader::read, Reader::seek, nullptr, Reader::tell};
    if (ov_open_callbacks(&r->source_, file.get(), nullptr, 0, callbacks) != 0) return nullptr;
    r->file_ = std::move(file);
    const vorbis_info* info = ov_info(r->file_.get(), -1);
    if (!info || info->channels < 1 || info->rate <= 0) return nullptr;
    r->rate_ = static_cast<uint32_t>(info->rate);
    r->stream_ = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(info->channels), static_cast<int>(info->rate),
                                    format, static_cast<Uint8>(channels), freq);
    if (!r->stream_) return nullptr;
    r->batch_.resize(static_cast<size_t>(kBatchFrames) * static_cast<size_t>(info->channels) * 2);
    return r;
}

RenderStream::~RenderStream() {
    if (g_hooked == this) unhook();
    if (stream_) SDL_FreeAudioStream(stream_);
    if (file_) ov_clear(file_.get());
}

bool RenderStream::play(uint64_t frame) {
    unhook();
    const ogg_int64_t total = ov_pcm_total(file_.get(), -1);
    if (total < 0 || frame >= static_cast<uint64_t>(total)) return false;
    if (ov_pcm_seek(file_.get(), static_cast<ogg_int64_t>(frame)) != 0) return false;
    SDL_AudioStreamClear(stream_);
    ended_ = false;
    Mix_HookMusic(mix, this);
    g_hooked = this;
    return true;
}

void RenderStream::unhook() {
    Mix_HookMusic(nullptr, nullptr);  // waits for a mix in progress
    g_hooked = nullptr;
}

// On the mixer's thread: the next `len` bytes of music, decoded a batch at a
// time as the stream runs short. After the end the mixer's silence stays.
void RenderStream::mix(void* self, uint8_t* out, int len) {
    auto* r = static_cast<RenderStream*>(self);
    while (!r->ended_ && SDL_AudioStreamAvailable(r->stream_) < len) r->decodeBatch();
    SDL_AudioStreamGet(r->stream_, out, len);
}

void RenderStream::decodeBatch() {
    size_t have = 0;
    while (have < batch_.size()) {
        int section = 0;
        const long n = ov_read(file_.get(), batch_.data() + have, static_cast<int>(batch_.size() - have),
                               SDL_BYTEORDER == SDL_BIG_ENDIAN, 2, 1, &section);
        if (n == OV_HOLE) continue;
        if (n <= 0) {
            ended_ = true;
            break;
        }
        have += static_cast<size_t>(n);
    }
    if (have) SDL_AudioStreamPut(stream_, batch_.data(), static_cast<int>(have));
    if (ended_) SDL_AudioStreamFlush(stream_);
}
