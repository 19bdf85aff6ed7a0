// The game's millisecond clock and the phases that it paces. Each phase runs
// one step at a time, and a step may run only once its gate has passed since
// the end of the previous step: a slow step delays everything after it, and
// nothing is ever caught up.
#pragma once
#include <cstdint>

enum class Phase : uint8_t {
    None,      // the title screen, and after a dive has ended: nothing to step
    Dive,      // one tick of the dive every 30 ms
    GameOver,  // one step, half a second after the curtain is up
    Clear,     // the short clear sequence, a step every 60 ms
};

// Least milliseconds from the end of one step to the start of the next.
constexpr int32_t gateOf(Phase p) {
    switch (p) {
        case Phase::Dive: return 30;
        case Phase::GameOver: return 500;
        case Phase::Clear: return 60;
        case Phase::None: break;
    }
    return 0;
}

// A step ends with a 1 ms sleep (Host::sleep1), and the next one's gate is
// counted from there: steps that nothing holds start this far apart.
constexpr int32_t stepApartMs(Phase p) { return gateOf(p) + 1; }

// The clock from a count of milliseconds: the count wrapped to a signed
// 32-bit number. Differences taken with elapsedMs() stay right across every
// wrap, so the gates keep opening after 24.8 (and 49.7) days of up-time.
inline int32_t clockFromMs(uint64_t ms) { return static_cast<int32_t>(static_cast<uint32_t>(ms)); }
// Signed 32-bit difference a - b, wrapping like the clock.
inline int32_t elapsedMs(int32_t now, int32_t since) {
    return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(since));
}
// since + ms on the same wrapping clock.
inline int32_t laterMs(int32_t since, int32_t ms) {
    return static_cast<int32_t>(static_cast<uint32_t>(since) + static_cast<uint32_t>(ms));
}
