// Hostile pointers: random streams of presses, releases and moves of every
// button, anywhere on (and far off) the screen, over whole dives, with the
// game's invariants checked after every tick.
#include <gtest/gtest.h>

#include "headless/harness.h"
#include "headless/random_player.h"

namespace {

struct Invariants {
    std::vector<std::string> names;
    int16_t lastTick = 0;

    explicit Invariants(const Playfield& s) {
        for (const ItemState& it : s.items()) names.emplace_back(it.name);
    }

    static bool inClient(const ItemState& it) {
        return it.visible && it.left < kClientW && it.top < kClientH && it.left + it.width > 0 &&
               it.top + it.height > 0;
    }

    void check(Dive& d) {
        const GameState& s = d.st();
        const Playfield& scr = d.field;
        for (Item v : {Item::lifeValue, Item::lifeValueShadow, Item::oxygenValue, Item::oxygenValueShadow, Item::tanksValue, Item::tanksValueShadow, Item::creatureLifeValue, Item::creatureLifeValueShadow})
            ASSERT_NE(scr[v].text[0], '-') << scr[v].name << " at tick " << s.DiveTick;
        const Item sets[5][3] = {{Item::octopusWhite, Item::octopusCyan, Item::octopusRed},   {Item::crabWhite, Item::crabCyan, Item::crabRed},
                               {Item::morayWhite, Item::morayCyan, Item::morayRed},   {Item::squidWhite, Item::squidCyan, Item::squidRed},
                               {Item::spearWhite, Item::spearCyan, Item::spearRed}};
        for (const auto& set : sets) {
            int seen = 0;
            for (Item id : set) seen += inClient(scr[id]);
            ASSERT_LE(seen, 1) << scr[set[0]].name << " at tick " << s.DiveTick;
        }
        ASSERT_EQ(scr.items().size(), names.size());
        for (size_t i = 0; i < names.size(); ++i) ASSERT_EQ(names[i], scr.items()[i].name);
        ASSERT_GE(s.DiveTick, lastTick);
        lastTick = s.DiveTick;
        // No 16-bit field has wrapped round.
        ASSERT_GE(s.Life, 0);
        ASSERT_GE(s.Oxygen, 0);
        ASSERT_GE(s.Tanks, 0);
        ASSERT_GE(s.OxygenMax, 80);
        ASSERT_GE(s.EnemyLife, 0);
        ASSERT_GE(s.EndTick, 0);
        ASSERT_LE(s.SpearLane, 3);
        ASSERT_LE(s.EnemyLane, 3);
    }
};

struct Reach {
    int deepest = 0;
    int endings = 0;
};

void fuzzOneDive(uint32_t seed, Reach& reach) {
    Dive d(seed);
    RandomPlayer player(seed);
    Invariants inv(d.field);
    player.begin(d);
    for (int steps = 0; steps < 20000 && player.turn(d); ++steps) {
        inv.check(d);
        if (::testing::Test::HasFatalFailure()) return;
    }
    d.game.shutDown();
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
