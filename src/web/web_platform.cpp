#include "web/web_platform.h"

#include <emscripten/emscripten.h>

#include <cmath>

#include "core/clock.h"
#include "web/page.h"

namespace {

int32_t realClock() { return clockFromMs(static_cast<uint64_t>(std::floor(emscripten_get_now()))); }

}  // namespace

uint32_t pageUtcTimeOfDayMs() { return static_cast<uint32_t>(torvenka_utc_time_of_day_ms()); }

WebPlatform::WebPlatform(TextRaster& font)
    : font_(font),
      frame_(static_cast<size_t>(kClientW) * kClientH, 0),
      rgba_(static_cast<size_t>(kClientW) * kClientH * 4, 255) {}

int32_t WebPlatform::clock() { return sleepless_.read(realClock()); }

void WebPlatform::sleepMs(int ms) {
    sleptAt_ = emscripten_get_now();
    sleepless_.sleep(clockFromMs(static_cast<uint64_t>(std::floor(sleptAt_))), ms);
}

bool WebPlatform::poll(PlatformEvent& ev) {
    if (queue_.empty()) return false;
    ev = queue_.front();
    queue_.pop_front();
    return true;
}

bool WebPlatform::wait(PlatformEvent& ev, std::optional<int32_t>) { return poll(ev); }

double WebPlatform::now() const { return emscripten_get_now(); }

double WebPlatform::momentOf(int32_t deadline) const {
    const double now = emscripten_get_now();
    return std::floor(now) + elapsedMs(deadline, realClock());
}

void WebPlatform::present(const Playfield& f) {
    if (f.caption() != caption_) {
        caption_ = f.caption();
        emscripten_set_window_title(caption_.c_str());
    }
    compose(f, font_, frame_.data(), kClientW);
    uint8_t* out = rgba_.data();
    for (const uint32_t px : frame_) {
        out[0] = static_cast<uint8_t>(px >> 16);
        out[1] = static_cast<uint8_t>(px >> 8);
        out[2] = static_cast<uint8_t>(px);
        out[3] = 255;
        out += 4;
    }
    torvenka_put_frame(rgba_.data(), kClientW, kClientH);
}
