// The diver's hand: card rows, tank and spear swipes, and the strike.
#include <gtest/gtest.h>

#include "headless/harness.h"

namespace {

constexpr int kCardX[3] = {35, 96, 157};  // middle of each card slot
constexpr int kCardY = 100;

// A dive at the row of deal n with the diver kept alive.
Dive& atDeal(Dive& d, int n) {
    static const int ticks[6] = {90, 430, 900, 1800, 2900, 3120};
    d.start();
    d.rig.state().Life = 30000;
    d.runTo(ticks[n - 1]);
    return d;
}

TEST(Cards, EveryGiftOfEveryDeal) {
    enum G { Blank, Spear, Ring, Tanks, Oxygen };
    const G table[6][3] = {{Blank, Spear, Tanks}, {Blank, Tanks, Oxygen}, {Tanks, Blank, Blank},
                           {Ring, Oxygen, Tanks}, {Blank, Tanks, Blank},  {Blank, Blank, Tanks}};
    const Item faces[5] = {cardHolder(CardFace::Blank), cardHolder(CardFace::Weapon), cardHolder(CardFace::Weapon), cardHolder(CardFace::Tanks), cardHolder(CardFace::Oxygen)};
    for (int n = 1; n <= 6; ++n) {
        for (int slot = 0; slot < 3; ++slot) {
            Dive d;
            atDeal(d, n);
            const GameState before = d.st();
            const size_t sounds = d.sound.log.size();
            const Item card = slot == 0 ? Item::cardSlot1 : slot == 1 ? Item::cardSlot2 : Item::cardSlot3;
            d.click(kCardX[slot], kCardY);
            d.settle();
            SCOPED_TRACE("deal " + std::to_string(n) + " card " + std::to_string(slot + 1));
            const G g = table[n - 1][slot];
            EXPECT_EQ(d.st().DealNo, 0);
            EXPECT_EQ(d.field.top(card), 65);
            EXPECT_EQ(d.field[card].picture, d.field[faces[g]].picture);
            EXPECT_EQ(std::vector<std::string>(d.sound.log.begin() + static_cast<long>(sounds), d.sound.log.end()),
                      (std::vector<std::string>{"stop se1", "close se1", "open \"dat/se3.wav\" alias se1",
                                                "play se1 from 0 notify"}));
            EXPECT_EQ(d.st().SpearLane, g == Spear ? Lane::White : Lane::None);
            EXPECT_EQ(d.shown(Item::spearWhite), g == Spear);
            EXPECT_EQ(d.st().RingOn, g == Ring);
            EXPECT_EQ(d.shown(Item::ring), g == Ring);
            EXPECT_EQ(d.st().Tanks, before.Tanks + (g == Tanks ? 3 : 0));
            EXPECT_EQ(d.text(Item::tanksValueShadow), std::to_string(d.st().Tanks));
            EXPECT_EQ(d.st().Oxygen, before.Oxygen + (g == Oxygen ? 20 : 0));
            EXPECT_EQ(d.st().OxygenMax, before.OxygenMax + (g == Oxygen ? 20 : 0));
            EXPECT_EQ(d.shown(Item::upMarker) && d.shown(Item::upMarkerShadow), g == Tanks || g == Oxygen);
            if (g == Tanks) {
                EXPECT_EQ(d.field.left(Item::upMarker), 61);
            }
            if (g == Oxygen) {
                EXPECT_EQ(d.field.top(Item::upMarker), 179);
                EXPECT_EQ(d.field.left(Item::upMarkerShadow), 56);
            }
            // One card per deal: the other two stay face down, silently.
            const size_t after = d.sound.log.size();
            d.click(kCardX[(slot + 1) % 3], kCardY);
            d.settle();
            EXPECT_EQ(d.sound.log.size(), after);
            EXPECT_EQ(d.field.top(slot == 2 ? Item::cardSlot1 : slot == 0 ? Item::cardSlot2 : Item::cardSlot3), 75);
        }
    }
}

TEST(Cards, OnlyTheLeftButtonTurnsAndTheNextDealIsFresh) {
    Dive d;
    atDeal(d, 1);
    d.press(Button::Right, kCardX[1], kCardY);
    d.release(Button::Right, kCardX[1], kCardY);
    d.press(Button::Middle, kCardX[1], kCardY);
    d.release(Button::Middle, kCardX[1], kCardY);
    d.settle();
    EXPECT_EQ(d.st().DealNo, 1);
    EXPECT_EQ(d.st().SpearLane, Lane::None);
    // The card ignores them, but the releases reach the shared release
    // handler: measured from the last recorded start (0,0 here, nothing has
    // recorded one) they are two vertical swipes, each using a tank.
    EXPECT_EQ(d.st().Tanks, 7);
    EXPECT_EQ(d.sound.log.size(), 6u + 8u);
    EXPECT_EQ(d.sound.log.back(), "play se1 from 0 notify");
    EXPECT_EQ(d.sound.log[d.sound.log.size() - 2], "open \"dat/se1.wav\" alias se1");
    d.click(kCardX[2], kCardY);
    d.settle();
    d.runTo(430);
    EXPECT_EQ(d.field.top(Item::cardSlot3), 75);
    EXPECT_EQ(d.field[Item::cardSlot3].picture, d.field[cardHolder(CardFace::FaceDown)].picture);
}

// A dying diver can still turn a card that the curtain has not covered.
TEST(Cards, ACardOnTheTableCanBeTurnedWhileDying) {
    Dive d;
    atDeal(d, 1);
    d.rig.state().Life = 0;
    d.runTo(95);
    ASSERT_FALSE(d.shown(Item::lifeValue));
    d.click(kCardX[1], kCardY);
    d.settle();
    EXPECT_EQ(d.st().SpearLane, Lane::White);
    EXPECT_TRUE(d.shown(Item::spearWhite));
    d.runTo(96);
    EXPECT_FALSE(d.shown(Item::spearWhite));  // the next dying tick hides it again
}

struct SwipeCase : ::testing::Test {
    Dive d;
    void SetUp() override {
        atDeal(d, 1);
        d.click(kCardX[1], kCardY);  // the spear, lane 1
        d.settle();
        d.sound.log.clear();
    }
};

TEST_F(SwipeCase, VerticalSwipesUseATankEitherWayAndTiesAreVertical) {
    d.rig.state().Oxygen = 3;
    d.swipe(100, 150, 100, 120);  // up
    d.settle();
    EXPECT_EQ(d.st().Oxygen, 80);
    EXPECT_EQ(d.st().Tanks, 8);
    EXPECT_EQ(d.text(Item::tanksValue), "8");
    EXPECT_EQ(d.text(Item::oxygenValueShadow), "80");
    EXPECT_EQ(d.sound.log[2], "open \"dat/se1.wav\" alias se1");
    d.swipe(100, 120, 100, 150);  // down, oxygen already full: a tank all the same
    d.swipe(50, 50, 80, 80);      // |dx| == |dy|: vertical
    d.settle();
    EXPECT_EQ(d.st().Tanks, 6);
    EXPECT_EQ(d.st().SwipeDX, 30);
    EXPECT_EQ(d.st().SwipeDY, 30);
    EXPECT_EQ(d.st().SpearLane, Lane::White);
    // No tanks left: a vertical swipe does nothing and never changes lane.
    d.rig.state().Tanks = 0;
    d.sound.log.clear();
    d.swipe(50, 50, 60, 90);
    d.swipe(50, 50, 80, 80);
    d.swipe(50, 50, 50, 50);  // no movement at all
    d.settle();
    EXPECT_TRUE(d.sound.log.empty());
    EXPECT_EQ(d.st().SpearLane, Lane::White);
}

TEST_F(SwipeCase, HorizontalSwipesCycleTheSpearBothWays) {
    const Item spears[3] = {Item::spearWhite, Item::spearCyan, Item::spearRed};
    auto shownLane = [&] {
        int lane = 0;
        for (int i = 0; i < 3; ++i)
            if (d.shown(spears[i])) lane = lane ? -1 : i + 1;
        return lane;
    };
    const int right[] = {2, 3, 1, 2};
    for (int expect : right) {
        d.swipe(40, 150, 90, 160);
        d.settle();
        EXPECT_EQ(code(d.st().SpearLane), expect);
        EXPECT_EQ(shownLane(), expect);
    }
    const int left[] = {1, 3, 2, 1};
    for (int expect : left) {
        d.swipe(90, 150, 40, 140);
        d.settle();
        EXPECT_EQ(code(d.st().SpearLane), expect);
        EXPECT_EQ(shownLane(), expect);
    }
    EXPECT_EQ(d.sound.log[2], "open \"dat/se4.wav\" alias se1");
}

TEST_F(SwipeCase, ReleasesFarAwayAndOtherButtons) {
    // An end point of 1000 or more records the position and nothing else.
    d.swipe(40, 150, 90, 150);
    d.settle();
    ASSERT_EQ(d.st().SwipeDX, 50);
    const Lane lane = d.st().SpearLane;
    // A right drag released outside the window never reaches the game.
    d.press(Button::Right, 40, 150);
    d.release(Button::Right, 1500, 150);
    d.settle();
    EXPECT_EQ(d.st().SpearLane, lane);
    // A release left of the screen's origin is packed into 16 bits and read
    // back signed: it measures where it really is. Fed straight to the
    // handlers, as a captured left drag would.
    d.press(Button::Left, 20, 20);
    d.mouse(MouseKind::Up, Button::Right, -400, 10);
    d.settle();
    EXPECT_EQ(d.st().CursorPos & 0xFFFFu, static_cast<uint32_t>(kOriginX - 400) & 0xFFFFu);
    EXPECT_EQ(d.st().UpX, -400);
    EXPECT_EQ(d.st().SwipeDX, 420);
    EXPECT_EQ(d.st().SpearLane, previousLane(lane));
    d.release(Button::Left, 20, 20);
    d.swipe(40, 150, 90, 150);  // back to where it was
    d.settle();
    ASSERT_EQ(d.st().SpearLane, lane);
    // A middle release while the last button was the right one is a swipe.
    d.press(Button::Right, 40, 150);
    d.press(Button::Middle, 100, 150);  // moves the start point
    d.release(Button::Middle, 150, 150);
    d.settle();
    EXPECT_EQ(d.st().SwipeDX, 50);
    EXPECT_EQ(d.st().SpearLane, nextLane(lane));
    // A left press moves the start point too, but a left release measures nothing.
    d.press(Button::Left, 10, 10);
    d.release(Button::Left, 10, 10);
    d.settle();
    EXPECT_EQ(d.st().DownX, 10);
    EXPECT_EQ(d.st().MouseButton, SwipeButton::Left);
}

// A window on a monitor left of and above the main one: every screen
// position is negative, and swipes work as anywhere else.
TEST(Swipes, AWindowAtNegativeScreenCoordinatesSwipesAsAnywhere) {
    for (const auto& [ox, oy] : {std::pair{-1920, -1080}, std::pair{-200, 40}, std::pair{500, -30000}}) {
        SCOPED_TRACE(testing::Message() << "origin " << ox << "," << oy);
        Dive d;
        d.originX = ox;
        d.originY = oy;
        atDeal(d, 1);
        d.click(kCardX[1], kCardY);  // the spear
        d.settle();
        d.rig.state().Oxygen = 3;
        d.swipe(100, 150, 100, 120);  // up: a tank
        d.settle();
        EXPECT_EQ(d.st().UpX, 100);
        EXPECT_EQ(d.st().UpY, 120);
        EXPECT_EQ(d.st().Tanks, 8);
        EXPECT_EQ(d.st().Oxygen, 80);
        d.swipe(40, 150, 90, 160);  // right: white to cyan
        d.settle();
        EXPECT_EQ(d.st().SwipeDX, 50);
        EXPECT_EQ(d.st().SpearLane, Lane::Cyan);
        // A release far below the window still measures nothing.
        d.press(Button::Left, 20, 20);
        d.mouse(MouseKind::Up, Button::Right, 90, 1500);
        d.settle();
        EXPECT_EQ(d.st().UpY, 1500);
        EXPECT_EQ(d.st().SpearLane, Lane::Cyan);
        EXPECT_EQ(d.st().SwipeDX, 50);
        d.release(Button::Left, 20, 20);
    }
}

TEST(Swipes, NothingBeforeTheSpearAndNothingOnceLifeIsGone) {
    Dive d;
    d.start();
    d.runTo(10);
    d.swipe(40, 150, 90, 150);
    d.settle();
    EXPECT_EQ(d.st().SpearLane, Lane::None);
    EXPECT_EQ(d.st().SwipeDX, 50);
    EXPECT_FALSE(d.shown(Item::spearCyan));
    d.rig.state().Life = 0;
    d.swipe(40, 150, 40, 100);
    d.settle();
    EXPECT_EQ(d.st().Tanks, 9);
    EXPECT_EQ(d.st().SwipeDY, 0);
}

// The spear sits at 130,182 (23 x 23); its middle is 141,193.
TEST_F(SwipeCase, RestingOnTheSpearStrikesUntilThePointerReachesTheSea) {
    d.runTo(200);  // the octopus, lane 1 (white), and the spear is white
    d.move(141, 193);
    d.settle();
    EXPECT_TRUE(d.st().Striking);
    d.runTo(201);
    EXPECT_EQ(d.st().EnemyLife, 89);
    EXPECT_TRUE(d.shown(Item::hitMarker));
    // Sliding onto the creature keeps the strike going.
    d.move(100, 100);
    d.settle();
    d.runTo(205);
    EXPECT_EQ(d.st().EnemyLife, 85);
    // A move over the sea ends it.
    d.move(10, 140);
    d.settle();
    EXPECT_FALSE(d.st().Striking);
    EXPECT_FALSE(d.shown(Item::hitMarker));
    d.runTo(210);
    EXPECT_EQ(d.st().EnemyLife, 85);
    // A left press on the sea captures the pointer: moves over the spear
    // then reach the sea's handler and no strike starts.
    d.press(Button::Left, 10, 140);
    d.move(141, 193);
    d.settle();
    EXPECT_FALSE(d.st().Striking);
    d.release(Button::Left, 141, 193);
    d.move(141, 194);
    d.settle();
    EXPECT_TRUE(d.st().Striking);
    // The wrong colour: no strike, no marker.
    d.swipe(10, 10, 60, 10);  // the spear turns cyan; the octopus is white
    d.settle();
    d.runTo(215);
    EXPECT_EQ(d.st().EnemyLife, 85);
    EXPECT_FALSE(d.shown(Item::hitMarker));
}

// The fewest strikes each creature takes, one per tick: 90, 200, 267, 725
// (363 with the ring).
TEST(Combat, StrikesNeededPerCreature) {
    struct C { int spawn; int kind; bool ring; int ticks; int reward; int upLeft; };
    for (const C c : {C{200, 1, false, 90, 120, 46}, C{1280, 2, false, 200, 600, 46}, C{2230, 3, false, 267, 2400, 51},
                      C{3280, 4, false, 725, 10000, 56}, C{3280, 4, true, 363, 10000, 56}}) {
        Dive d;
        d.start();
        d.rig.state().Life = 20000;
        d.runTo(c.spawn);
        d.rig.state().RingOn = c.ring;
        d.rig.state().Oxygen = 30000;  // breathing costs no life here
        // Follow the creature's colour every tick with the pointer on the spear.
        d.rig.state().Striking = true;
        int strikes = 0;
        int16_t lifeAtDefeat = 0;
        while (d.st().EnemyActive) {
            d.rig.state().SpearLane = d.st().EnemyLane;
            const int16_t life = d.st().Life;
            d.runTo(d.st().DiveTick + 1);
            ++strikes;
            lifeAtDefeat = life;
        }
        EXPECT_EQ(strikes, c.ticks) << c.kind;
        EXPECT_EQ(d.st().Life, lifeAtDefeat + c.reward) << c.kind;
        EXPECT_EQ(d.field.left(Item::upMarker), c.upLeft);
        EXPECT_EQ(d.field.left(Item::upMarkerShadow), c.upLeft + 1);
        EXPECT_EQ(d.sound.log[d.sound.log.size() - 1], "play se1 from 0 notify");
        EXPECT_EQ(d.sound.log[d.sound.log.size() - 2], "open \"dat/se2.wav\" alias se1");
    }
}

}  // namespace
