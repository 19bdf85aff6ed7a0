// The game's millisecond clock and the phases that it paces. Each phase runs
// one step at a time, and a step may run only once its gate has passed since
// the end of the previous step: a slow step delays everything after it, and
// nothing is ever caught up.
#pragma once
#include <cstdint>

#include "core/keyed.h"

enum class Phase : uint8_t {
    None,      // the title screen, and after a dive has ended: nothing to step
    Dive,      // one tick of the dive every 30 ms
    GameOver,  // one step, half a second after the curtain is up
    Clear,     // the short clear sequence, a step every 60 ms
};

// What each phase is called outside the game: its name where the test build
// watches the game (the page's steps, the facts the tests read) and its
// letter in the traces and the bench's step lines.
struct PhaseNames {
    Phase phase;
    const char* name;
    const char* letter;
};
inline constexpr PhaseNames kPhaseNames[] = {
    {Phase::None, "none", "N"},
    {Phase::Dive, "dive", "D"},
    {Phase::GameOver, "gameover", "O"},
    {Phase::Clear, "clear", "C"},
};
static_assert(rowsInKeyOrder(kPhaseNames, &PhaseNames::phase));
constexpr const char* phaseName(Phase p) { return kPhaseNames[static_cast<int>(p)].name; }
constexpr const char* phaseLetter(Phase p) { return kPhaseNames[static_cast<int>(p)].letter; }

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
