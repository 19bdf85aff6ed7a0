// Whole dives played by scripted players through pointer events only.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

// Turns the spear, the ring and every tank card, keeps the oxygen up with
// tanks, follows every lane change with the spear and keeps the pointer on it.
void playWell(Dive& d) {
    static const int kPick[6] = {1, 1, 0, 0, 1, 2};  // slot per deal
    d.start();
    bool resting = false;
    while (d.loop.phase() == Phase::Dive) {
        d.runTo(d.st().DiveTick + 1);
        GameState& s = d.st();
        if (s.DealNo != 0) d.click(35 + 61 * kPick[s.DealNo - 1], 100);
        if (s.Oxygen < 5 && s.Tanks > 0) d.swipe(100, 170, 100, 140);
        if (s.SpearLane != 0 && s.EnemyActive && s.SpearLane != s.EnemyLane) d.swipe(40, 160, 100, 160);
        if (s.SpearLane != 0 && !resting) {
            d.move(141, 193);
            resting = true;
        }
        d.settle();
    }
}

TEST(Player, AGoodDiverBeatsAllFourAndSeesTheClearCaption) {
    for (uint32_t seed : {1u, 4242u, 86399999u}) {
        Dive d(seed);
        playWell(d);
        ASSERT_EQ(d.loop.phase(), Phase::Clear) << seed;
        EXPECT_EQ(d.st().Cleared, 1);
        EXPECT_GT(d.st().Life, 10000);
        d.runOut();
        EXPECT_EQ(d.screen.caption(), "☆☆ クリア ☆☆");
        EXPECT_TRUE(d.shown(Id::mes2));
        EXPECT_FALSE(d.shown(Id::over));
    }
}

TEST(Player, ADiverWithoutTheSpearDiesAndSeesGameOver) {
    Dive d(99);
    d.start();
    while (d.loop.phase() == Phase::Dive) {
        d.runTo(d.st().DiveTick + 1);
        if (d.st().Oxygen < 5 && d.st().Tanks > 0) d.swipe(100, 170, 100, 140);
        d.settle();
    }
    EXPECT_EQ(d.loop.phase(), Phase::Over);
    d.runOut();
    EXPECT_TRUE(d.shown(Id::over));
    EXPECT_EQ(d.screen.caption(), "Torvenka");
    EXPECT_EQ(d.st().SpearLane, 0);
}

}  // namespace
