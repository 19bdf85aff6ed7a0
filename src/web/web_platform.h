// The loop's platform in a web page, over Emscripten's html5 API: no SDL.
// The browser calls the page; the page never blocks it. Pointer events
// arrive from the page's callbacks and wait in a queue until the loop polls
// them, as SDL's queue does on the desktop; the turn driver (web/turns.h)
// takes the loop's turns and comes back when the gate opens or an event
// arrives.
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
    // wrapped to the game's signed 32 bits; never earlier than the end of
    // the last sleep.
    int32_t clock() override;
    // The sleep that ends every step. A page cannot sleep, and no timer
    // could come back within a millisecond; but the game can tell a sleep
    // from its end only by the clock. So the sleep only moves the clock on:
    // until the real clock catches up, the clock reads the moment the sleep
    // ends, as it would on the desktop after the sleep. The next gate opens
    // 30 ms after that, 31 ms after the step's work, exactly as there, and
    // the page spends the millisecond idle.
    void sleepMs(int ms) override;
    bool poll(PlatformEvent& ev) override;
    // Never asked: the page's loop is driven through Scheduler::turn().
    bool wait(PlatformEvent& ev, std::optional<int32_t> deadline) override;
    void present(const Playfield& f) override;

    // From the page's callbacks.
    void queue(const PlatformEvent& ev) { queue_.push_back(ev); }
    // performance.now(), as it is, and as it was at the last step's sleep.
    double now() const;
    double sleptAt() const { return sleptAt_; }
    // The moment (performance.now) at which clock() reaches `deadline`.
    double momentOf(int32_t deadline) const;

private:
    TextRaster& font_;
    std::deque<PlatformEvent> queue_;
    SleeplessClock sleepless_;
    double sleptAt_ = 0;
    std::vector<uint32_t> frame_;  // 0x00RRGGBB, as the compositor draws
    std::vector<uint8_t> rgba_;    // the same pixels as a canvas takes them
    std::string caption_;
};
