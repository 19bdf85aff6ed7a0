// The catalogue and the pointer routing.
#include <gtest/gtest.h>

#include <set>

#include "headless/harness.h"
#include "core/router.h"

namespace {

TEST(Catalogue, FiftySixItemsInDrawingOrderWithTheirPlacesAndSizes) {
    FixedFont f;
    Playfield s(f);
    ASSERT_EQ(s.items().size(), 56u);
    std::set<std::string> names;
    for (const ItemState& it : s.items()) names.insert(it.name);
    EXPECT_EQ(names.size(), 56u);
    EXPECT_STREQ(s.items()[0].name, "faceDownCard");
    EXPECT_STREQ(s.items()[5].name, "sea");
    EXPECT_STREQ(s.items()[28].name, "spearWhite");
    EXPECT_STREQ(s.items()[49].name, "curtain");
    EXPECT_STREQ(s.items()[55].name, "bubble2");
    struct P { Item id; int l, t, w, h; bool vis; };
    for (const P p : {P{Item::sea, 0, 0, 194, 3200, false}, P{Item::squidWhite, 195, 175, 200, 116, true},
                      P{Item::squidCyan, 195, 173, 200, 116, true}, P{Item::curtain, 0, 215, 200, 240, true},
                      P{Item::cardSlot1, 10, 75, 50, 51, false}, P{Item::cardSlot3, 132, 75, 50, 51, false},
                      P{Item::spearRed, 130, 182, 23, 23, false}, P{Item::ring, 155, 186, 19, 19, false},
                      P{Item::crabWhite, 240, 0, 106, 92, false}, P{Item::morayRed, 195, 51, 173, 119, false},
                      P{Item::octopusCyan, 195, 0, 43, 49, false}, P{Item::grilledSquid, 30, 35, 136, 85, false},
                      P{Item::biggestSquidMessage, 35, 130, 121, 44, false}, P{Item::tastyMessage, 45, 175, 98, 32, false},
                      P{Item::gameOver, 43, 92, 103, 17, false}, P{Item::bubble1, 40, 211, 4, 4, false},
                      P{Item::faceDownCard, 0, 215, 50, 51, false}}) {
        const ItemState& it = s[p.id];
        EXPECT_EQ(it.left, p.l) << it.name;
        EXPECT_EQ(it.top, p.t) << it.name;
        EXPECT_EQ(it.width, p.w) << it.name;
        EXPECT_EQ(it.height, p.h) << it.name;
        EXPECT_EQ(it.visible, p.vis) << it.name;
    }
    // Label pairs: the shadow one pixel right of and below its front copy.
    const std::pair<Item, Item> pairs[] = {{Item::lifeCaption, Item::lifeCaptionShadow}, {Item::lifeValue, Item::lifeValueShadow},
                                       {Item::oxygenCaption, Item::oxygenCaptionShadow}, {Item::oxygenValue, Item::oxygenValueShadow},
                                       {Item::tanksCaption, Item::tanksCaptionShadow}, {Item::tanksValue, Item::tanksValueShadow},
                                       {Item::creatureName, Item::creatureNameShadow}, {Item::creatureLifeCaption, Item::creatureLifeCaptionShadow},
                                       {Item::creatureLifeValue, Item::creatureLifeValueShadow}, {Item::hitMarker, Item::hitMarkerShadow},
                                       {Item::upMarker, Item::upMarkerShadow}, {Item::titleWord, Item::titleWordShadow}};
    for (auto [front, shadow] : pairs) {
        EXPECT_EQ(s.left(shadow), s.left(front) + 1) << s[front].name;
        EXPECT_EQ(s.top(shadow), s.top(front) + 1) << s[front].name;
        EXPECT_EQ(s[shadow].text, s[front].text);
        EXPECT_EQ(s[shadow].color, kRed);
        EXPECT_EQ(s[front].color, front == Item::upMarker ? kYellow : kWhite);
    }
    // Only the title word and the parked squid and curtain are shown.
    int shown = 0;
    for (const ItemState& it : s.items()) shown += it.visible;
    EXPECT_EQ(shown, 6);
}

TEST(Catalogue, LabelsGrowToTheRight) {
    FixedFont f;
    Playfield s(f);
    s.write(Label::tanksValue, 9);
    const int w9 = s[Item::tanksValue].width;
    s.write(Label::tanksValue, 12);
    EXPECT_EQ(s.left(Item::tanksValue), 43);
    EXPECT_EQ(s.left(Item::tanksValueShadow), 44);
    EXPECT_GT(s[Item::tanksValue].width, w9);
    EXPECT_EQ(s[Item::tanksValueShadow].width, s[Item::tanksValue].width);
    // A card slot takes the picture's size from the face it is given.
    s.copyPicture(Item::cardSlot2, Item::oxygenCard);
    EXPECT_EQ(s[Item::cardSlot2].picture, s[Item::oxygenCard].picture);
    EXPECT_EQ(s[Item::cardSlot2].width, 50);
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
    s.show(Item::octopusCyan);
    s.move(Item::octopusCyan, 88, 75);
    s.show(Item::cardSlot2);
    // A press on the creature's key-coloured corner goes to the creature.
    ASSERT_EQ(r.route(s, {MouseKind::Down, Button::Right, 88, 75}, out), 1);
    EXPECT_EQ(out[0].item, static_cast<int>(Item::octopusCyan));
    EXPECT_EQ(out[0].binding, Binding::Swipes);
    // A lane-2 creature lies over the card slot.
    EXPECT_EQ(Router::hit(s, 100, 100), static_cast<int>(Item::octopusCyan));
    s.hide(Item::octopusCyan);
    s.show(Item::octopusWhite);
    s.move(Item::octopusWhite, 88, 75);
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
