// A hostile player: random streams of presses, releases and moves of every
// button, anywhere on (and far off) the screen, now and then a flood of them
// or a window close, between the ticks of a whole dive. The fuzz tests and
// the recorded traces play the same streams.
#pragma once
#include <random>

#include "headless/harness.h"

class RandomPlayer {
public:
    explicit RandomPlayer(uint32_t seed) : seed_(seed), g_(seed) {}

    // One random pointer event: mostly over the playfield, sometimes far
    // away, on either side of the screen's origin and past 65535.
    void randomEvent(Dive& d) {
        std::uniform_int_distribution<int> pick(0, 99);
        const int k = pick(g_);
        const MouseKind kind = k < 50 ? MouseKind::Move : k < 75 ? MouseKind::Down : MouseKind::Up;
        const Button b = static_cast<Button>(pick(g_) % 3);
        int x, y;
        const int where = pick(g_);
        if (where < 80) {
            x = std::uniform_int_distribution<int>(-5, kClientW + 5)(g_);
            y = std::uniform_int_distribution<int>(-5, kClientH + 5)(g_);
        } else {
            x = std::uniform_int_distribution<int>(-140000, 140000)(g_);
            y = std::uniform_int_distribution<int>(-140000, 140000)(g_);
        }
        d.mouse(kind, b, x, y);
    }

    // Gets past the title most of the time.
    void begin(Dive& d) {
        if (seed_ % 4 != 0) d.start();
    }

    // One turn: some events (or none), perhaps a close, then one tick of the
    // dive or one pass of the loop in an ending. False once the run is over.
    bool turn(Dive& d) {
        if (over(d)) return false;
        std::uniform_int_distribution<int> pick(0, 999);
        const int r = pick(g_);
        const int events = r < 600 ? 0 : r < 990 ? 1 + r % 4 : 400;  // now and then a flood
        for (int i = 0; i < events; ++i) randomEvent(d);
        // The window closed mid-dive or mid-ending, often for some seeds.
        if (std::uniform_int_distribution<int>(0, seed_ % 5 == 0 ? 999 : 99999)(g_) == 0)
            d.plat.queue.push_back(PlatformEvent{PlatformEvent::Quit, {}});
        if (d.game.phase() == Phase::Dive) {
            // Keep the diver alive at times, so the late script is reached too.
            if (seed_ % 3 == 0 && d.st().Life < 50) d.st().Life = 3000;
            d.runTo(d.st().DiveTick + 1);
        } else if (d.game.phase() != Phase::None) {
            d.pass();
        }
        d.settle();
        return true;
    }

    static bool over(Dive& d) {
        return d.loop.closed() || (d.game.phase() == Phase::None && d.st().DiveTick > 0);
    }

private:
    uint32_t seed_;
    std::mt19937 g_;
};
