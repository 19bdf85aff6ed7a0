// Whole dives played by scripted players through pointer events only.
#include <gtest/gtest.h>

#include "bots.h"
#include "harness.h"

namespace {

TEST(Player, AGoodDiverBeatsAllFourAndSeesTheClearCaption) {
    for (uint32_t seed : {1u, 4242u, 86399999u}) {
        Dive d(seed);
        GoodDiver bot;
        d.start();
        d.play(bot, d);
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
    CarelessDiver bot;
    d.start();
    d.play(bot, d);
    EXPECT_EQ(d.loop.phase(), Phase::Over);
    d.runOut();
    EXPECT_TRUE(d.shown(Id::over));
    EXPECT_EQ(d.screen.caption(), "Torvenka");
    EXPECT_EQ(d.st().SpearLane, 0);
}

}  // namespace
