// A theme's render as the mixer's music stream: the Ogg Vorbis file kept in
// memory and decoded by stb_vorbis as the feeding thread asks for frames.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "win32/pcm_mix.h"

struct stb_vorbis;

class RenderSource : public pcm::MusicSource {
public:
    // The render in `ogg` from sample frame `frame` on. Nothing when the
    // decoder cannot open it, when it is not at the device's rate in one or
    // two channels, or when the frame is at or past its end.
    static std::unique_ptr<RenderSource> open(std::shared_ptr<const std::vector<uint8_t>> ogg, uint64_t frame);
    ~RenderSource() override;
    RenderSource(const RenderSource&) = delete;
    RenderSource& operator=(const RenderSource&) = delete;

    size_t read(int16_t* out, size_t frames) override;

private:
    RenderSource() = default;
    std::shared_ptr<const std::vector<uint8_t>> ogg_;
    stb_vorbis* decoder_ = nullptr;
};
