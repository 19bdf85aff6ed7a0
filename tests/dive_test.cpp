// Whole dives without a window: the title, the tick, the script, the fight
// and the endings.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/dice.h"
#include "core/texts.h"
#include "headless/harness.h"

namespace {

int count(const std::vector<std::string>& log, const std::string& c) {
    return static_cast<int>(std::count(log.begin(), log.end(), c));
}

TEST(Title, HighlightFollowsThePointerAndOnlyALeftClickStarts) {
    Dive d;
    EXPECT_EQ(d.text(Item::lifeValue), "200");
    EXPECT_EQ(d.text(Item::oxygenValueShadow), "80");
    EXPECT_EQ(d.text(Item::tanksValue), "9");
    EXPECT_EQ(d.text(Item::creatureLifeValue), "00");
    const Spot word = titleClick(d.field);
    d.move(word.x, word.y);
    d.settle();
    EXPECT_EQ(d.field[Item::titleWord].color, kYellow);
    EXPECT_EQ(d.field[Item::titleWordShadow].color, kRed);
    d.move(10, 10);  // the bare black window
    d.settle();
    EXPECT_EQ(d.field[Item::titleWord].color, kWhite);
    // Right and middle clicks, and a left click on the shadow's rim, do nothing.
    d.press(Button::Right, word.x, word.y);
    d.release(Button::Right, word.x, word.y);
    d.press(Button::Middle, word.x, word.y);
    d.release(Button::Middle, word.x, word.y);
    const ItemState& front = d.field[Item::titleWord];
    d.click(front.left + front.width, front.top + front.height);  // shadow rim
    // A left press on the word, released elsewhere, is no click.
    d.press(Button::Left, word.x, word.y);
    d.release(Button::Left, 10, 10);
    d.settle();
    EXPECT_FALSE(d.st().Diving);
    EXPECT_TRUE(d.sound.log.empty());

    d.start();
    EXPECT_TRUE(d.st().Diving);
    EXPECT_EQ(d.game.phase(), Phase::Dive);
    EXPECT_FALSE(d.shown(Item::titleWordShadow));
    EXPECT_FALSE(d.shown(Item::titleWord));
    for (Item id : {Item::sea, Item::lifeCaptionShadow, Item::lifeCaption, Item::oxygenCaptionShadow, Item::oxygenCaption, Item::tanksCaptionShadow, Item::tanksCaption,
                  Item::lifeValue, Item::lifeValueShadow, Item::oxygenValue, Item::oxygenValueShadow, Item::tanksValue, Item::tanksValueShadow})
        EXPECT_TRUE(d.shown(id)) << d.field[id].name;
    EXPECT_FALSE(d.shown(Item::creatureNameShadow));
    const std::vector<std::string> expected = {"stop se1", "close se1", "open \"dat/se3.wav\" alias se1",
                                               "play se1 from 0 notify", "open \"dat/plomvex_s01.mid\" alias audio1",
                                               "play audio1 from 14 notify"};
    EXPECT_EQ(d.sound.log, expected);
    // While diving, the background no longer touches the title colour.
    d.rig.playfield().setColor(Item::titleWord, kYellow);
    d.move(10, 10);
    d.settle();
    EXPECT_EQ(d.field[Item::titleWord].color, kYellow);
}

TEST(DiveTick, SeaScrollsBubblesRiseAndTheScriptRunsOnTime) {
    Dive d;
    d.start();
    d.runTo(1);
    EXPECT_EQ(d.field.top(Item::sea), -1);
    d.runTo(89);
    EXPECT_FALSE(d.shown(Item::cardSlot1));
    d.runTo(90);
    EXPECT_EQ(d.st().DealNo, 1);
    for (Item c : {Item::cardSlot1, Item::cardSlot2, Item::cardSlot3}) {
        EXPECT_TRUE(d.shown(c));
        EXPECT_EQ(d.field.top(c), 75);
        EXPECT_EQ(d.field[c].picture, d.field[cardHolder(CardFace::FaceDown)].picture);
    }
    d.runTo(160);
    EXPECT_EQ(d.st().DealNo, 0);
    EXPECT_FALSE(d.shown(Item::cardSlot2));
    d.runTo(200);
    d.rig.state().Life = 30000;  // keep the diver alive through the script
    EXPECT_EQ(d.st().EnemyKind, CreatureKind::Octopus);
    EXPECT_EQ(d.st().EnemyLane, Lane::White);
    EXPECT_EQ(d.st().EnemyLife, 90);
    EXPECT_TRUE(d.shown(creatureSprite(CreatureKind::Octopus, Lane::White)));
    EXPECT_EQ(d.field.left(creatureSprite(CreatureKind::Octopus, Lane::Red)), 88);
    EXPECT_EQ(d.field.top(creatureSprite(CreatureKind::Octopus, Lane::Cyan)), 75);
    EXPECT_EQ(d.text(Item::creatureName), "オクトパス");
    EXPECT_EQ(d.text(Item::creatureLifeValueShadow), "90");
    d.runTo(280);
    EXPECT_FALSE(d.shown(creatureSprite(CreatureKind::Octopus, Lane::White)));
    EXPECT_TRUE(d.shown(creatureSprite(CreatureKind::Octopus, Lane::Cyan)));
    d.runTo(400);
    EXPECT_FALSE(d.st().EnemyActive);
    EXPECT_EQ(d.st().EnemyLane, Lane::None);
    EXPECT_FALSE(d.shown(creatureSprite(CreatureKind::Octopus, Lane::Cyan)));
    EXPECT_FALSE(d.shown(Item::creatureNameShadow));
    d.runTo(1280);
    EXPECT_TRUE(d.shown(creatureSprite(CreatureKind::Crab, Lane::Cyan)));
    EXPECT_EQ(d.st().EnemyLife, 400);
    d.runTo(1400);
    EXPECT_TRUE(d.shown(creatureSprite(CreatureKind::Crab, Lane::Red)));
    EXPECT_FALSE(d.shown(creatureSprite(CreatureKind::Crab, Lane::White)));
    d.runTo(2129);
    EXPECT_EQ(count(d.sound.log, "stop audio1"), 0);
    d.runTo(2130);
    EXPECT_EQ(d.sound.log.back(), "close audio1");
    EXPECT_EQ(d.st().BgmNo, Music::None);
    d.runTo(2160);
    EXPECT_EQ(d.st().BgmNo, Music::BossTheme);
    EXPECT_EQ(d.sound.log.back(), "play audio1 from 1 notify");
    EXPECT_EQ(d.sound.log[d.sound.log.size() - 2], "open \"dat/ravederu.mid\" alias audio1");
}

// The oxygen runs out first, then life, one per drain on even ticks.
TEST(DiveTick, DrainTakesOxygenThenLifeAndClampsAtZero) {
    Dive d;
    d.start();
    d.runTo(1);
    EXPECT_EQ(d.st().Oxygen, 80);
    d.runTo(2);
    EXPECT_EQ(d.st().Oxygen, 79);
    EXPECT_EQ(d.text(Item::oxygenValue), "79");
    d.runTo(160);
    EXPECT_EQ(d.st().Oxygen, 0);
    EXPECT_EQ(d.st().Life, 200);
    d.runTo(162);
    EXPECT_EQ(d.st().Life, 199);
    d.runTo(199);
    EXPECT_EQ(d.st().Life, 200 - 19);
    // Octopus contact from its spawn tick: one more per drain.
    d.runTo(200);
    EXPECT_EQ(d.st().Life, 200 - 20 - 1);
    EXPECT_EQ(d.text(Item::lifeValueShadow), std::to_string(d.st().Life));

    // Deep water: 6 per breath and 10 more against the squid without the ring.
    Dive deep;
    deep.start();
    deep.rig.state().Life = 30000;
    deep.runTo(3279);
    deep.rig.state().Oxygen = 0;
    deep.rig.state().Life = 100;
    deep.runTo(3280);
    EXPECT_EQ(deep.st().EnemyKind, CreatureKind::GiantSquid);
    EXPECT_EQ(deep.st().Life, 100 - 6 - 14);
    deep.rig.state().RingOn = true;
    deep.runTo(3282);
    EXPECT_EQ(deep.st().Life, 80 - 6 - 6);
    deep.rig.state().Life = 5;
    deep.runTo(3284);
    EXPECT_EQ(deep.st().Life, 0);
    EXPECT_EQ(deep.text(Item::lifeValue), "0");
    // That tick ran to its end as a living tick; the next one is dying.
    EXPECT_TRUE(deep.shown(Item::lifeValue));
    deep.runTo(3285);
    EXPECT_FALSE(deep.shown(Item::lifeValue));
    EXPECT_FALSE(deep.shown(creatureSprite(CreatureKind::GiantSquid, Lane::White)) || deep.shown(creatureSprite(CreatureKind::GiantSquid, Lane::Cyan)) || deep.shown(creatureSprite(CreatureKind::GiantSquid, Lane::Red)));
    EXPECT_EQ(deep.field.top(Item::curtain), 213);
}

// A diver left alone: everything of the playfield goes, the curtain rises
// 108 times and the game-over picture follows; the music plays on.
TEST(Endings, ADiverLeftAloneDies) {
    Dive d(777);
    d.start();
    d.runTo(90);
    // Turn the middle card of the first row: the spear; but never strike.
    d.click(96, 100);
    d.settle();
    EXPECT_TRUE(d.shown(Item::spearWhite));
    int firstDying = 0;
    while (d.game.phase() == Phase::Dive) {
        d.loop.runOnce();
        if (!firstDying && d.st().Life < 1 && !d.shown(Item::lifeValue)) firstDying = d.st().DiveTick;
        ASSERT_GE(d.st().Life, 0);
    }
    ASSERT_GT(firstDying, 0);
    EXPECT_EQ(d.st().DiveTick, firstDying + 108);
    EXPECT_EQ(d.field.top(Item::curtain), -1);
    for (Item id : {Item::spearWhite, Item::ring, Item::lifeCaptionShadow, Item::tanksValueShadow, Item::creatureName, Item::hitMarker, Item::upMarker})
        EXPECT_FALSE(d.shown(id)) << d.field[id].name;
    EXPECT_TRUE(d.shown(Item::sea));
    EXPECT_FALSE(d.shown(Item::bubble1) && d.field.top(Item::bubble1) < 215);
    d.runOut();
    EXPECT_TRUE(d.shown(Item::gameOver));
    EXPECT_EQ(d.field.caption(), kGameName);
    EXPECT_EQ(d.st().BgmNo, Music::DiveTheme);  // the dive theme was never stopped
    EXPECT_EQ(count(d.sound.log, "close audio1"), 0);
}

// The squid beaten: the ascent raises the curtain while the script and the
// drain go on, then the clear sequence runs its 165 steps.
TEST(Endings, TheClearSequence) {
    Dive d;
    d.start();
    d.rig.state().Life = 20000;
    d.runTo(3281);
    d.rig.state().SpearLane = d.st().EnemyLane;
    d.rig.state().Striking = true;
    d.rig.state().EnemyLife = 4;
    d.runTo(3282);
    EXPECT_TRUE(d.st().Cleared);
    EXPECT_FALSE(d.st().Diving);
    EXPECT_EQ(d.st().EnemyLife, 0);
    EXPECT_EQ(d.text(Item::creatureLifeValue), "0");
    EXPECT_EQ(d.field.left(Item::upMarker), 56);
    EXPECT_EQ(d.field.top(Item::curtain), 213);  // the rise starts on the same tick
    d.runTo(3282 + 107);
    EXPECT_EQ(d.field.top(Item::curtain), -1);
    EXPECT_EQ(d.game.phase(), Phase::Dive);
    const int16_t lifeBefore = d.st().Life;
    d.runTo(3282 + 108);  // the hand-over tick still drains
    EXPECT_EQ(d.game.phase(), Phase::Clear);
    EXPECT_EQ(d.st().Life, lifeBefore - 6);  // oxygen long gone: breath only
    const size_t soundsAtHandOver = d.sound.log.size();
    int steps = 0;
    while (d.game.phase() == Phase::Clear) {
        const int before = d.st().EndTick;
        d.loop.runOnce();
        if (d.st().EndTick == before) continue;
        ++steps;
        const int e = d.st().EndTick;
        EXPECT_EQ(d.st().BgmNo == Music::None, e >= 40) << e;
        EXPECT_EQ(d.shown(Item::grilledSquid), e >= 90) << e;
        EXPECT_EQ(d.shown(Item::biggestSquidMessage), e >= 115) << e;
        EXPECT_EQ(d.shown(Item::tastyMessage), e >= 135) << e;
        EXPECT_EQ(d.field.caption() == kClearCaption, e >= 165) << e;
    }
    EXPECT_EQ(steps, 165);
    EXPECT_EQ(d.game.phase(), Phase::None);
    const std::vector<std::string> stop(d.sound.log.begin() + static_cast<long>(soundsAtHandOver), d.sound.log.end());
    EXPECT_EQ(stop, (std::vector<std::string>{"stop audio1", "close audio1"}));
}

// The random draws of one tick come in a fixed order: bubble 1, bubble 2,
// then the timeline. Replay them from the same seed independently.
TEST(DiveTick, RandomDrawOrderMatchesAnIndependentReplay) {
    const uint32_t seed = 987654;
    Dive d(seed);
    d.start();
    Dice r(seed);
    bool rising[2] = {false, false};
    int top[2] = {211, 211}, left[2] = {40, 120};
    int squidLane = 0, morayLane = 3;
    d.rig.state().Life = 30000;  // stay alive through the whole script
    for (int tick = 1; tick <= 5400; ++tick) {
        const uint32_t starts[2] = {50, 40};
        const int rise[2] = {3, 2};
        for (int b = 0; b < 2; ++b) {
            if (rising[b]) {
                top[b] -= rise[b];
                left[b] += r.roll(2) == 1 ? -1 : 1;
                if (top[b] <= 0) {
                    top[b] = 211;
                    left[b] = static_cast<int>(r.roll(200));
                    rising[b] = false;
                }
            } else if (r.roll(starts[b]) == starts[b] - 1) {
                rising[b] = true;
            }
        }
        if (tick == 2520) morayLane = r.roll(2) == 1 ? 3 : 2;
        if (tick == 2630) morayLane = r.roll(2) == 0 ? 1 : (morayLane == 3 ? 2 : 3);
        if (tick == 3280) squidLane = static_cast<int>(r.roll(3)) + 1;
        const bool squidTick = (tick >= 3310 && tick <= 3430 && (tick - 3310) % 30 == 0) ||
                               (tick >= 3510 && tick <= 5350 && (tick - 3510) % 80 == 0);
        if (squidTick) {
            const int before = squidLane;
            squidLane = r.roll(2) == 0 ? squidLane % 3 + 1 : (squidLane + 1) % 3 + 1;
            ASSERT_NE(before, squidLane);
        }
        d.runTo(tick);
        ASSERT_EQ(d.field.top(Item::bubble1), top[0]) << tick;
        ASSERT_EQ(d.field.left(Item::bubble1), left[0]) << tick;
        ASSERT_EQ(d.field.left(Item::bubble2), left[1]) << tick;
        ASSERT_EQ(d.st().Bubble2Rising, rising[1]) << tick;
        if (tick == 2520 || tick == 2630) {
            ASSERT_EQ(code(d.st().EnemyLane), morayLane) << tick;
        }
        if (tick >= 3280) {
            ASSERT_EQ(code(d.st().EnemyLane), squidLane) << tick;
        }
        if (tick == 3200 || tick == 5000) {
            ASSERT_EQ(d.field.top(Item::sea), -3200);
        }
    }
    EXPECT_EQ(d.game.view().dice.seed(), r.seed());
}

// Lane changes fire only while a creature is active and then draw nothing.
TEST(Timeline, GatedEventsAfterADefeatChangeAndDrawNothing) {
    Dive d;
    d.start();
    d.rig.state().Life = 1000;
    d.rig.state().Tanks = 0;
    d.rig.state().OxygenMax = 30000;
    d.rig.state().Oxygen = 30000;  // no breath drain: only contact costs life
    d.runTo(2230);
    EXPECT_TRUE(d.shown(creatureSprite(CreatureKind::Moray, Lane::Red)));
    d.rig.state().SpearLane = Lane::Red;
    d.rig.state().Striking = true;
    d.rig.state().EnemyLife = 3;
    d.runTo(2231);
    EXPECT_FALSE(d.st().EnemyActive);
    // Contact with the octopus twice (100 each), the crab (350) and the moray's
    // spawn tick (3); then the moray's reward.
    EXPECT_EQ(d.st().Life, 1000 - 100 - 100 - 350 - 3 + 2400);
    d.rig.state().Striking = false;
    d.runTo(2519);
    const int hidden = d.shown(creatureSprite(CreatureKind::Moray, Lane::White)) + d.shown(creatureSprite(CreatureKind::Moray, Lane::Cyan)) + d.shown(creatureSprite(CreatureKind::Moray, Lane::Red));
    EXPECT_EQ(hidden, 0);
    EXPECT_TRUE(d.shown(Item::creatureNameShadow));
    EXPECT_EQ(d.text(Item::creatureLifeValue), "0");
    // Tick 2520 draws for the bubbles only: one draw each, and a second for
    // a rising bubble that reaches the top.
    Dice probe(d.game.view().dice.seed());
    const int rise[2] = {3, 2};
    const Item bubbles[2] = {Item::bubble1, Item::bubble2};
    const bool rising[2] = {d.st().Bubble1Rising, d.st().Bubble2Rising};
    for (int b = 0; b < 2; ++b) {
        probe.roll(2);
        if (rising[b] && d.field.top(bubbles[b]) - rise[b] <= 0) probe.roll(2);
    }
    d.runTo(2520);
    EXPECT_EQ(d.game.view().dice.seed(), probe.seed());
    EXPECT_EQ(d.shown(creatureSprite(CreatureKind::Moray, Lane::White)) + d.shown(creatureSprite(CreatureKind::Moray, Lane::Cyan)) + d.shown(creatureSprite(CreatureKind::Moray, Lane::Red)), 0);
    d.runTo(2800);
    EXPECT_FALSE(d.shown(Item::creatureNameShadow));
}

}  // namespace
