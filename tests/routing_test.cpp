// The catalogue and the pointer routing.
#include <gtest/gtest.h>

#include <set>

#include "harness.h"
#include "screen/router.h"

namespace {

TEST(Catalogue, FiftySixItemsInDrawingOrderWithTheirPlacesAndSizes) {
    FixedFont f;
    Screen s(f);
    ASSERT_EQ(s.items().size(), 56u);
    std::set<std::string> names;
    for (const Item& it : s.items()) names.insert(it.name);
    EXPECT_EQ(names.size(), 56u);
    EXPECT_STREQ(s.items()[0].name, "card");
    EXPECT_STREQ(s.items()[5].name, "back");
    EXPECT_STREQ(s.items()[28].name, "spear");
    EXPECT_STREQ(s.items()[49].name, "waku");
    EXPECT_STREQ(s.items()[55].name, "awa2");
    struct P { Id id; int l, t, w, h; bool vis; };
    for (const P p : {P{Id::back, 0, 0, 194, 3200, false}, P{Id::velmo, 195, 175, 200, 116, true},
                      P{Id::velmo2, 195, 173, 200, 116, true}, P{Id::waku, 0, 215, 200, 240, true},
                      P{Id::card1, 10, 75, 50, 51, false}, P{Id::card3, 132, 75, 50, 51, false},
                      P{Id::spear3, 130, 182, 23, 23, false}, P{Id::ring, 155, 186, 19, 19, false},
                      P{Id::cani, 240, 0, 106, 92, false}, P{Id::utsu3, 195, 51, 173, 119, false},
                      P{Id::taco2, 195, 0, 43, 49, false}, P{Id::ikayaki, 30, 35, 136, 85, false},
                      P{Id::mes1, 35, 130, 121, 44, false}, P{Id::mes2, 45, 175, 98, 32, false},
                      P{Id::over, 43, 92, 103, 17, false}, P{Id::awa1, 40, 211, 4, 4, false},
                      P{Id::card, 0, 215, 50, 51, false}}) {
        const Item& it = s[p.id];
        EXPECT_EQ(it.left, p.l) << it.name;
        EXPECT_EQ(it.top, p.t) << it.name;
        EXPECT_EQ(it.width, p.w) << it.name;
        EXPECT_EQ(it.height, p.h) << it.name;
        EXPECT_EQ(it.visible, p.vis) << it.name;
    }
    // Label pairs: the shadow one pixel right of and below its front copy.
    const std::pair<Id, Id> pairs[] = {{Id::LabelHP2, Id::LabelHP1}, {Id::LbHP1, Id::LbHP2},
                                       {Id::LabelOX2, Id::LabelOX1}, {Id::LbOX1, Id::LbOX2},
                                       {Id::LabelBMB2, Id::LabelBMB1}, {Id::LbBMB1, Id::LbBMB2},
                                       {Id::LabelNM2, Id::LabelNM1}, {Id::LabelHP4, Id::LabelHP3},
                                       {Id::LbHP3, Id::LbHP4}, {Id::LabelHT1, Id::LabelHT2},
                                       {Id::LabelUP1, Id::LabelUP2}, {Id::Label2, Id::Label1}};
    for (auto [front, shadow] : pairs) {
        EXPECT_EQ(s.left(shadow), s.left(front) + 1) << s[front].name;
        EXPECT_EQ(s.top(shadow), s.top(front) + 1) << s[front].name;
        EXPECT_EQ(s[shadow].text, s[front].text);
        EXPECT_EQ(s[shadow].color, kRed);
        EXPECT_EQ(s[front].color, front == Id::LabelUP1 ? kYellow : kWhite);
    }
    // Only the title word and the parked squid and curtain are shown.
    int shown = 0;
    for (const Item& it : s.items()) shown += it.visible;
    EXPECT_EQ(shown, 6);
}

TEST(Catalogue, LabelsGrowToTheRight) {
    FixedFont f;
    Screen s(f);
    s.setText(Id::LbBMB1, "9");
    s.setText(Id::LbBMB2, "9");
    const int w9 = s[Id::LbBMB1].width;
    writeValue(s, Id::LbBMB1, Id::LbBMB2, 12);
    EXPECT_EQ(s.left(Id::LbBMB1), 43);
    EXPECT_EQ(s.left(Id::LbBMB2), 44);
    EXPECT_GT(s[Id::LbBMB1].width, w9);
    EXPECT_EQ(s[Id::LbBMB2].width, s[Id::LbBMB1].width);
    // A card slot takes the picture's size from the face it is given.
    s.copyPicture(Id::card2, Id::cardox);
    EXPECT_EQ(s[Id::card2].pic, s[Id::cardox].pic);
    EXPECT_EQ(s[Id::card2].width, 50);
}

// Routes through the real loop into the real handlers and reports which of
// them ran, by their effect on the state.
TEST(Routing, MovesReachOnlyTheHandlersTheirItemIsBoundTo) {
    Dive d;
    d.start();
    d.st().Life = 30000;
    d.runTo(200);  // the octopus at 88,75 (43 x 49), lane 1
    d.st().SpearLane = 1;
    d.screen.show(Id::spear);
    d.screen.show(Id::ring);
    auto strikingAfterMove = [&](int x, int y, uint8_t before) {
        d.st().Striking = before;
        d.move(x, y);
        d.settle();
        return d.st().Striking;
    };
    // Over the spear: spearMouseMove starts a strike.
    EXPECT_EQ(strikingAfterMove(131, 183, 0), 1);
    // Over the creature (key-coloured corner included), a label, the curtain:
    // no move handler at all.
    EXPECT_EQ(strikingAfterMove(88, 75, 1), 1);
    EXPECT_EQ(strikingAfterMove(5, 166, 1), 1);     // "命："
    d.screen.show(Id::awa1);
    d.screen.move(Id::awa1, 20, 140);
    EXPECT_EQ(strikingAfterMove(21, 141, 1), 1);    // a bubble
    d.screen.hide(Id::awa1);
    EXPECT_EQ(strikingAfterMove(160, 190, 1), 0);   // the ring ends it
    EXPECT_EQ(strikingAfterMove(10, 140, 1), 0);    // the sea ends it
    d.screen.setTop(Id::waku, 100);
    EXPECT_EQ(strikingAfterMove(10, 140, 1), 1);    // the curtain swallows it
}

TEST(Routing, PressesCaptureAndClicks) {
    FixedFont f;
    Screen s(f);
    Router r;
    Delivery out[2];
    s.hide(Id::Label1);
    s.hide(Id::Label2);
    s.show(Id::taco2);
    s.move(Id::taco2, 88, 75);
    s.show(Id::card2);
    // A press on the creature's key-coloured corner goes to the creature.
    ASSERT_EQ(r.route(s, {MouseKind::Down, Button::Right, 88, 75}, out), 1);
    EXPECT_EQ(out[0].item, static_cast<int>(Id::taco2));
    EXPECT_EQ(out[0].bind, Bind::A);
    // A lane-2 creature lies over the card slot.
    EXPECT_EQ(Router::hit(s, 100, 100), static_cast<int>(Id::taco2));
    s.hide(Id::taco2);
    s.show(Id::taco);
    s.move(Id::taco, 88, 75);
    EXPECT_EQ(Router::hit(s, 100, 100), static_cast<int>(Id::card2));
    // Right releases outside the client area are lost.
    EXPECT_EQ(r.route(s, {MouseKind::Up, Button::Right, 250, 100}, out), 0);
    EXPECT_EQ(r.route(s, {MouseKind::Move, Button::Left, -1, 100}, out), 0);
    // A left press captures: moves and the release anywhere go to it.
    ASSERT_EQ(r.route(s, {MouseKind::Down, Button::Left, 100, 100}, out), 1);
    EXPECT_EQ(out[0].bind, Bind::C2);
    ASSERT_EQ(r.route(s, {MouseKind::Move, Button::Left, -50, 400}, out), 1);
    EXPECT_EQ(out[0].item, static_cast<int>(Id::card2));
    ASSERT_EQ(r.route(s, {MouseKind::Down, Button::Right, 500, 5}, out), 1);
    EXPECT_EQ(out[0].item, static_cast<int>(Id::card2));
    // Released outside the item: no click.
    ASSERT_EQ(r.route(s, {MouseKind::Up, Button::Left, 5, 5}, out), 1);
    EXPECT_FALSE(out[0].click);
    // Released inside: the release, then the click.
    r.route(s, {MouseKind::Down, Button::Left, 100, 100}, out);
    ASSERT_EQ(r.route(s, {MouseKind::Up, Button::Left, 101, 101}, out), 2);
    EXPECT_FALSE(out[0].click);
    EXPECT_TRUE(out[1].click);
    // Bare window: bindings AM.
    ASSERT_EQ(r.route(s, {MouseKind::Move, Button::Left, 5, 5}, out), 1);
    EXPECT_EQ(out[0].item, kWindowTarget);
    EXPECT_EQ(out[0].bind, Bind::AM);
}

}  // namespace
