// The loop's platform in a web page, over Emscripten's html5 API: no SDL.
// The browser calls us; we never block it. Pointer events arrive from the
// page's callbacks and wait in a queue until the loop polls them, as SDL's
// queue does on the desktop; the loop's wait does not block but leaves word
// of how long it wanted to sleep, and the turn driver (web/turns.h) comes
// back when that time is up or an event arrives.
#pragma once
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "loop/scheduler.h"
#include "screen/compositor.h"

// Seed for the dice: the UTC time of day in milliseconds (Date).
uint32_t pageUtcTimeOfDayMs();

class WebPlatform : public Platform {
public:
    explicit WebPlatform(TextRaster& font);

    // The page's monotonic millisecond clock (performance.now), floored and
    // wrapped to the game's signed 32 bits; during a sleep, the time the
    // sleep ends.
    int32_t clock() override;
    // The sleep that ends every step. A page cannot sleep, and no timer could
    // come back within a millisecond; but the game can tell a sleep from its
    // end only by the clock. So the sleep only moves the clock on: until the
    // real clock catches up, the clock reads the moment the sleep ends, as it
    // would on the desktop after the sleep. The step that follows therefore opens its gate 30 ms
    // after the end of the sleep, 31 ms after the work, exactly as there, and
    // the page spends the millisecond idle instead of spinning through it.
    void sleepMs(int ms) override;
    // The moment (performance.now) at which clock() reaches `deadline`.
    double momentOf(int32_t deadline) const;
    bool poll(PlatformEvent& ev) override;
    bool wait(PlatformEvent& ev, std::optional<int32_t> deadline) override;
    void present(const Playfield& f) override;

    // From the page's callbacks.
    void queue(const PlatformEvent& ev) { queue_.push_back(ev); }

    // What the last wait() asked for: nothing (the loop did not wait), an
    // event (no deadline), or an event or the deadline.
    struct WaitRequest {
        bool asked = false;
        std::optional<int32_t> deadline;
    };
    WaitRequest takeWaitRequest() {
        const WaitRequest w = wait_;
        wait_ = {};
        return w;
    }

private:
    TextRaster& font_;
    std::deque<PlatformEvent> queue_;
    WaitRequest wait_;
    std::vector<uint32_t> frame_;  // 0x00RRGGBB, as the compositor draws
    std::vector<uint8_t> rgba_;    // the same pixels as a canvas takes them
    std::string caption_;
    double sleptUntil_ = 0;  // performance.now() at the end of the last sleep
};
