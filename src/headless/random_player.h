// A hostile player: random streams of presses, releases and moves of every
// button, anywhere on (and far off) the screen, now and then a flood of them
// or a window close, between the ticks of a whole dive. The fuzz tests and
// the recorded traces play the same streams.
#pragma once
#include <cstdint>
#include <random>

#include "headless/harness.h"

// A whole number from lo to hi, drawn from g the way GCC's standard library
// maps a 32-bit engine onto a range (Lemire's method: the high half of a
// 64-bit product, with a rejection that keeps it unbiased). The mapping of
// std::uniform_int_distribution is each library's own; this one is written
// out so that the streams, and the traces recorded from them, are the same
// whichever library the player is built with.
inline int drawBetween(std::mt19937& g, int lo, int hi) {
    const uint32_t range = static_cast<uint32_t>(hi) - static_cast<uint32_t>(lo) + 1u;
    uint64_t product = static_cast<uint64_t>(g()) * range;
    uint32_t low = static_cast<uint32_t>(product);
    if (low < range) {
        const uint32_t threshold = (0u - range) % range;  // 2^32 mod range
        while (low < threshold) {
            product = static_cast<uint64_t>(g()) * range;
            low = static_cast<uint32_t>(product);
        }
    }
    return static_cast<int>(static_cast<uint32_t>(lo) + static_cast<uint32_t>(product >> 32));
}

class RandomPlayer {
public:
    explicit RandomPlayer(uint32_t seed) : seed_(seed), g_(seed) {}

    // One random pointer event: mostly over the playfield, sometimes far
    // away, on either side of the screen's origin and past 65535.
    void randomEvent(Dive& d) {
        const int k = drawBetween(g_, 0, 99);
        const MouseKind kind = k < 50 ? MouseKind::Move : k < 75 ? MouseKind::Down : MouseKind::Up;
        const Button b = static_cast<Button>(drawBetween(g_, 0, 99) % 3);
        int x, y;
        const int where = drawBetween(g_, 0, 99);
        if (where < 80) {
            x = drawBetween(g_, -5, kClientW + 5);
            y = drawBetween(g_, -5, kClientH + 5);
        } else {
            x = drawBetween(g_, -140000, 140000);
            y = drawBetween(g_, -140000, 140000);
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
        const int r = drawBetween(g_, 0, 999);
        const int events = r < 600 ? 0 : r < 990 ? 1 + r % 4 : 400;  // now and then a flood
        for (int i = 0; i < events; ++i) randomEvent(d);
        // The window closed mid-dive or mid-ending, often for some seeds.
        if (drawBetween(g_, 0, seed_ % 5 == 0 ? 999 : 99999) == 0)
            d.plat.queue.push_back(PlatformEvent{PlatformEvent::Quit, {}});
        if (d.game.phase() == Phase::Dive) {
            keepAlive(seed_, d);
            d.runTo(d.st().DiveTick + 1);
        } else if (d.game.phase() != Phase::None) {
            d.pass();
        }
        d.settle();
        return true;
    }

    // Keeps the diver alive at times, so the late script is reached too: past
    // the rules, and so not in a dive's record (its replay does it again).
    static void keepAlive(uint32_t seed, Dive& d) {
        if (seed % 3 == 0 && d.st().Life < 50) d.rig.state().Life = 3000;
    }

    static bool over(Dive& d) {
        return d.loop.closed() || (d.game.phase() == Phase::None && d.st().DiveTick > 0);
    }

private:
    uint32_t seed_;
    std::mt19937 g_;
};
