// Scripted players for whole dives. A bot looks at the state after each tick
// and acts through anything with click(x, y), swipe(x0, y0, x1, y1) and
// move(x, y): the harness's Dive itself, or a recorder writing a replay.
#pragma once
#include <array>

#include "core/state.h"

// The good diver: turns the spear, the ring and every tank card, opens a tank
// when the oxygen runs low, swings the spear to every lane change and keeps
// the pointer resting on it.
struct GoodDiver {
    // The card slot to turn in each deal: the spear, tanks, tanks, the ring,
    // tanks, tanks.
    std::array<int, 6> picks{1, 1, 0, 0, 1, 2};
    // A tank is opened once the oxygen falls below this. A diver whose hand
    // lags behind the dive (the browser tests, carrying the wishes out with
    // real input) opens it earlier.
    int tankBelow = 5;
    bool resting = false;

    template <class Hand>
    void afterTick(const GameState& s, Hand& hand) {
        if (s.DealNo >= 1 && s.DealNo <= 6) hand.click(35 + 61 * picks[s.DealNo - 1], 100);
        if (s.Oxygen < tankBelow && s.Tanks > 0) hand.swipe(100, 170, 100, 140);
        if (s.SpearLane != Lane::None && s.EnemyActive && s.SpearLane != s.EnemyLane) hand.swipe(40, 160, 100, 160);
        if (s.SpearLane != Lane::None && !resting) {
            hand.move(141, 193);  // the middle of the spear
            resting = true;
        }
    }
};

// The careless diver turns no card and only keeps breathing.
struct CarelessDiver {
    template <class Hand>
    void afterTick(const GameState& s, Hand& hand) {
        if (s.Oxygen < 5 && s.Tanks > 0) hand.swipe(100, 170, 100, 140);
    }
};
