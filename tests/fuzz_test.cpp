// Hostile pointers: random streams of presses, releases and moves of every
// button, anywhere on (and far off) the screen, over whole dives, with the
// game's invariants checked after every tick.
#include <gtest/gtest.h>

#include "harness.h"
#include "random_player.h"

namespace {

struct Invariants {
    std::vector<std::string> names;
    int16_t lastTick = 0;

    explicit Invariants(const Screen& s) {
        for (const Item& it : s.items()) names.emplace_back(it.name);
    }

    static bool inClient(const Item& it) {
        return it.visible && it.left < kClientW && it.top < kClientH && it.left + it.width > 0 &&
               it.top + it.height > 0;
    }

    void check(Dive& d) {
        const GameState& s = d.st();
        const Screen& scr = d.screen;
        for (Id v : {Id::LbHP1, Id::LbHP2, Id::LbOX1, Id::LbOX2, Id::LbBMB1, Id::LbBMB2, Id::LbHP3, Id::LbHP4})
            ASSERT_NE(scr[v].text[0], '-') << scr[v].name << " at tick " << s.DiveTick;
        const Id sets[5][3] = {{Id::taco, Id::taco2, Id::taco3},   {Id::cani, Id::cani2, Id::cani3},
                               {Id::utsu, Id::utsu2, Id::utsu3},   {Id::velmo, Id::velmo2, Id::velmo3},
                               {Id::spear, Id::spear2, Id::spear3}};
        for (const auto& set : sets) {
            int seen = 0;
            for (Id id : set) seen += inClient(scr[id]);
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
    Invariants inv(d.screen);
    player.begin(d);
    for (int steps = 0; steps < 20000 && player.turn(d); ++steps) {
        inv.check(d);
        if (::testing::Test::HasFatalFailure()) return;
    }
    d.form.FormDestroy();
    reach.deepest = std::max<int>(reach.deepest, d.st().DiveTick);
    if (d.loop.phase() == Phase::None && d.st().DiveTick > 0) ++reach.endings;
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
