// The catalogue and the pointer routing.
#include <gtest/gtest.h>

#include "screen/fixed_font.h"
#include "headless/harness.h"
#include "core/router.h"

namespace {

// The catalogue's positions and pairs are checked as it compiles; what the
// playfield does with them is checked here.
TEST(Catalogue, LabelsGrowToTheRight) {
    FixedFont f;
    Playfield s(f);
    const int left = s.left(Item::tanksValue);
    s.write(Label::tanksValue, 9);
    const int w9 = s[Item::tanksValue].width;
    s.write(Label::tanksValue, 12);
    EXPECT_EQ(s.left(Item::tanksValue), left);
    EXPECT_EQ(s.left(Item::tanksValueShadow), left + 1);
    EXPECT_GT(s[Item::tanksValue].width, w9);
    EXPECT_EQ(s[Item::tanksValueShadow].width, s[Item::tanksValue].width);
    EXPECT_EQ(s[Item::tanksValueShadow].text, "12");
    // A card slot takes the picture's size from the face it is given.
    s.copyPicture(Item::cardSlot2, cardHolder(CardFace::Oxygen));
    EXPECT_EQ(s[Item::cardSlot2].picture, cardPicture(CardFace::Oxygen));
    EXPECT_EQ(s[Item::cardSlot2].width, pictureSize(cardPicture(CardFace::Oxygen)).w);
}

// Routes through the real loop into the real handlers and reports which of
// them ran, by their effect on the state.
TEST(Routing, MovesReachOnlyTheHandlersTheirItemIsBoundTo) {
    Dive d;
    d.start();
    d.rig.state().Life = 30000;
    d.runTo(200);  // the octopus at 88,75 (43 x 49), lane 1
    d.rig.state().SpearLane = Lane::White;
    d.rig.playfield().show(Item::spearWhite);
    d.rig.playfield().show(Item::ring);
    auto strikingAfterMove = [&](int x, int y, bool before) {
        d.rig.state().Striking = before;
        d.move(x, y);
        d.settle();
        return d.st().Striking;
    };
    // Over the spear: moveOverSpear starts a strike.
    EXPECT_TRUE(strikingAfterMove(131, 183, false));
    // Over the creature (key-coloured corner included), a label, the curtain:
    // no move handler at all.
    EXPECT_TRUE(strikingAfterMove(88, 75, true));
    EXPECT_TRUE(strikingAfterMove(5, 166, true));     // "命："
    d.rig.playfield().show(Item::bubble1);
    d.rig.playfield().move(Item::bubble1, 20, 140);
    EXPECT_TRUE(strikingAfterMove(21, 141, true));    // a bubble
    d.rig.playfield().hide(Item::bubble1);
    EXPECT_FALSE(strikingAfterMove(160, 190, true));   // the ring ends it
    EXPECT_FALSE(strikingAfterMove(10, 140, true));    // the sea ends it
    d.rig.playfield().setTop(Item::curtain, 100);
    EXPECT_TRUE(strikingAfterMove(10, 140, true));    // the curtain swallows it
}

TEST(Routing, PressesCaptureAndClicks) {
    FixedFont f;
    Playfield s(f);
    Router r;
    Delivery out[2];
    s.hide(Item::titleWordShadow);
    s.hide(Item::titleWord);
    s.show(creatureSprite(CreatureKind::Octopus, Lane::Cyan));
    s.move(creatureSprite(CreatureKind::Octopus, Lane::Cyan), 88, 75);
    s.show(Item::cardSlot2);
    // A press on the creature's key-coloured corner goes to the creature.
    ASSERT_EQ(r.route(s, {MouseKind::Down, Button::Right, 88, 75}, out), 1);
    EXPECT_EQ(out[0].item, static_cast<int>(creatureSprite(CreatureKind::Octopus, Lane::Cyan)));
    EXPECT_EQ(out[0].binding, Binding::Swipes);
    // A lane-2 creature lies over the card slot.
    EXPECT_EQ(Router::hit(s, 100, 100), static_cast<int>(creatureSprite(CreatureKind::Octopus, Lane::Cyan)));
    s.hide(creatureSprite(CreatureKind::Octopus, Lane::Cyan));
    s.show(creatureSprite(CreatureKind::Octopus, Lane::White));
    s.move(creatureSprite(CreatureKind::Octopus, Lane::White), 88, 75);
    EXPECT_EQ(Router::hit(s, 100, 100), static_cast<int>(Item::cardSlot2));
    // Right releases outside the client area are lost.
    EXPECT_EQ(r.route(s, {MouseKind::Up, Button::Right, 250, 100}, out), 0);
    EXPECT_EQ(r.route(s, {MouseKind::Move, Button::Left, -1, 100}, out), 0);
    // A left press captures: moves and the release anywhere go to it.
    ASSERT_EQ(r.route(s, {MouseKind::Down, Button::Left, 100, 100}, out), 1);
    EXPECT_EQ(out[0].binding, Binding::Card2);
    ASSERT_EQ(r.route(s, {MouseKind::Move, Button::Left, -50, 400}, out), 1);
    EXPECT_EQ(out[0].item, static_cast<int>(Item::cardSlot2));
    ASSERT_EQ(r.route(s, {MouseKind::Down, Button::Right, 500, 5}, out), 1);
    EXPECT_EQ(out[0].item, static_cast<int>(Item::cardSlot2));
    // Released outside the item: no click.
    ASSERT_EQ(r.route(s, {MouseKind::Up, Button::Left, 5, 5}, out), 1);
    EXPECT_FALSE(out[0].click);
    // Released inside: the release, then the click.
    r.route(s, {MouseKind::Down, Button::Left, 100, 100}, out);
    ASSERT_EQ(r.route(s, {MouseKind::Up, Button::Left, 101, 101}, out), 2);
    EXPECT_FALSE(out[0].click);
    EXPECT_TRUE(out[1].click);
    // The bare window is bound like the sea.
    ASSERT_EQ(r.route(s, {MouseKind::Move, Button::Left, 5, 5}, out), 1);
    EXPECT_EQ(out[0].item, kWindowTarget);
    EXPECT_EQ(out[0].binding, Binding::SwipesAndSea);
}

}  // namespace
