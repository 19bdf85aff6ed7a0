// Whole dives played by scripted players through pointer events only.
#include <gtest/gtest.h>

#include "core/texts.h"
#include "headless/bots.h"
#include "headless/harness.h"

namespace {

TEST(Player, AGoodDiverBeatsAllFourAndSeesTheClearCaption) {
    for (uint32_t seed : {1u, 4242u, 86399999u}) {
        Dive d(seed);
        GoodDiver bot;
        d.start();
        d.play(bot, d);
        ASSERT_EQ(d.game.phase(), Phase::Clear) << seed;
        EXPECT_TRUE(d.st().Cleared);
        EXPECT_GT(d.st().Life, 10000);
        d.runOut();
        EXPECT_EQ(d.field.caption(), kClearCaption);
        EXPECT_TRUE(d.shown(Item::tastyMessage));
        EXPECT_FALSE(d.shown(Item::gameOver));
    }
}

TEST(Player, ADiverWithoutTheSpearDiesAndSeesGameOver) {
    Dive d(99);
    CarelessDiver bot;
    d.start();
    d.play(bot, d);
    EXPECT_EQ(d.game.phase(), Phase::GameOver);
    d.runOut();
    EXPECT_TRUE(d.shown(Item::gameOver));
    EXPECT_EQ(d.field.caption(), kGameName);
    EXPECT_EQ(d.st().SpearLane, Lane::None);
}

}  // namespace
