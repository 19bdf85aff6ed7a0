// Hostile pointers: random streams of presses, releases and moves of every
// button, anywhere on (and far off) the screen, over whole dives, with the
// game's invariants checked after every tick.
#include <gtest/gtest.h>

#include <random>

#include "harness.h"

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

// One random pointer event: mostly over the playfield, sometimes far away,
// on either side of the screen's origin and past 65535.
void randomEvent(Dive& d, std::mt19937& g) {
    std::uniform_int_distribution<int> pick(0, 99);
    const int k = pick(g);
    const MouseKind kind = k < 50 ? MouseKind::Move : k < 75 ? MouseKind::Down : MouseKind::Up;
    const Button b = static_cast<Button>(pick(g) % 3);
    int x, y;
    const int where = pick(g);
    if (where < 80) {
        x = std::uniform_int_distribution<int>(-5, kClientW + 5)(g);
        y = std::uniform_int_distribution<int>(-5, kClientH + 5)(g);
    } else {
        x = std::uniform_int_distribution<int>(-140000, 140000)(g);
        y = std::uniform_int_distribution<int>(-140000, 140000)(g);
    }
    d.mouse(kind, b, x, y);
}

struct Reach {
    int deepest = 0;
    int endings = 0;
};

void fuzzOneDive(uint32_t seed, Reach& reach) {
    std::mt19937 g(seed);
    Dive d(seed);
    Invariants inv(d.screen);
    // Get past the title most of the time.
    if (seed % 4 != 0) d.start();
    std::uniform_int_distribution<int> pick(0, 999);
    int steps = 0;
    auto over = [&] { return d.loop.closed() || (d.loop.phase() == Phase::None && d.st().DiveTick > 0); };
    while (!over() && steps++ < 20000) {
        const int r = pick(g);
        const int events = r < 600 ? 0 : r < 990 ? 1 + r % 4 : 400;  // now and then a flood
        for (int i = 0; i < events; ++i) randomEvent(d, g);
        // The window closed mid-dive or mid-ending, often for some seeds.
        if (std::uniform_int_distribution<int>(0, seed % 5 == 0 ? 999 : 99999)(g) == 0)
            d.plat.queue.push_back(PlatformEvent{PlatformEvent::Quit, {}, {}});
        if (d.loop.phase() == Phase::Dive) {
            // Keep the diver alive at times, so the late script is reached too.
            if (seed % 3 == 0 && d.st().Life < 50) d.st().Life = 3000;
            d.runTo(d.st().DiveTick + 1);
        } else if (d.loop.phase() != Phase::None) {
            d.loop.runOnce();
        }
        d.settle();
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
