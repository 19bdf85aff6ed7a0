// Hostile pointers: random streams of presses, releases and moves of every
// button, anywhere on (and far off) the screen, over whole dives, with the
// game's invariants checked after every tick.
#include <gtest/gtest.h>

#include "headless/harness.h"
#include "headless/random_player.h"
#include "headless/rules.h"

namespace {

struct Reach {
    int deepest = 0;
    int endings = 0;
};

void fuzzOneDive(uint32_t seed, Reach& reach) {
    Dive d(seed);
    RandomPlayer player(seed);
    RuleWatch rules(d.field);
    player.begin(d);
    for (int steps = 0; steps < 20000 && player.turn(d); ++steps) {
        ASSERT_EQ(rules.broken(d), "");
    }
    reach.deepest = std::max<int>(reach.deepest, d.st().DiveTick);
    if (d.game.phase() == Phase::None && d.st().DiveTick > 0) ++reach.endings;
}

// Forty dives under random streams; they must reach the whole script and the
// endings, or they prove little.
TEST(Fuzz, RandomPointerStreamsOverWholeDives) {
    Reach reach;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        fuzzOneDive(seed, reach);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(reach.deepest, 3280);
    EXPECT_GT(reach.endings, 5);
}

}  // namespace
