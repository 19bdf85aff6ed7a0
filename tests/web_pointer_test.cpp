// The page's pointers in a real dive: fingers and a pen's tip play the whole
// game (a tap clicks, a drag swipes, a resting finger strikes), a mouse
// keeps the desktop's rules where a browser hides a release or a chorded
// press, several pointers at once are one pointer to the game, and a press
// that ends otherwise than by its release clicks nothing.
#include <gtest/gtest.h>

#include "core/texts.h"
#include "headless/bots.h"
#include "headless/harness.h"
#include "web/pointer_input.h"

namespace {

constexpr int kOrigin = 100;  // the canvas's corner on the screen
constexpr auto kMouse = PagePointer::Mouse;
constexpr auto kPen = PagePointer::Pen;
constexpr auto kFinger = PagePointer::Touch;
constexpr int kMouseId = 1;
constexpr int kPenId = 2;

struct Page {
    Dive d;
    // The start click and a tank's swipe, where the game lays them out.
    const Spot start = titleClick(d.field);
    const Stroke tank = tankSwipe(d.field);
    PointerInput input{[this](const PointerEvent& p) { d.plat.queue.push_back({PlatformEvent::Pointer, p}); }};
    int nextId = 1;

    // Returns what the page is told to do with the event.
    unsigned send(PagePointer::Kind kind, double x, double y, PagePointer::Type type, int id, int button = -1,
                  unsigned buttons = 0, bool onCanvas = true, bool primary = true) {
        PagePointer p;
        p.kind = kind;
        p.id = id;
        p.type = type;
        p.primary = primary;
        p.button = button;
        p.buttons = buttons;
        p.x = x;
        p.y = y;
        p.onCanvas = onCanvas;
        p.originX = p.originY = kOrigin;
        const unsigned answer = input.handle(p);
        d.settle();
        return answer;
    }
    // A finger from (x0, y0) through `steps` moves to (x1, y1), lifted there.
    // A pen's tip, or the left button of a mouse, the same way. While a
    // finger or a tip touches, `buttons` holds the left button's bit.
    void drag(double x0, double y0, double x1, double y1, int steps = 4, PagePointer::Type type = kFinger) {
        const int id = type == kFinger ? nextId++ : type == kPen ? kPenId : kMouseId;
        send(PagePointer::Down, x0, y0, type, id, 0, 1);
        for (int i = 1; i <= steps; ++i)
            send(PagePointer::Move, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, type, id, -1, 1);
        send(PagePointer::Up, x1, y1, type, id, 0, 0);
    }
    void tap(double x, double y, PagePointer::Type type = kFinger) { drag(x, y, x, y, 0, type); }
    // A dive under way, its first deal open and the spear turned (white),
    // the diver kept alive and short of oxygen, with nine tanks to open.
    void diveWithTheSpear() {
        tap(start.x + 0.5, start.y + 0.5);
        ASSERT_EQ(d.game.phase(), Phase::Dive);
        d.rig.state().Life = 30000;
        d.runTo(90);
        tap(96, 100);
        ASSERT_EQ(d.st().SpearLane, Lane::White);
        d.rig.state().Oxygen = 3;
        ASSERT_EQ(d.st().Tanks, 9);
    }
};

TEST(TouchPlay, EveryActionOfTheDiveWithOneFinger) {
    Page pg;
    Dive& d = pg.d;
    pg.tap(90.4, 100.7);  // the title word
    ASSERT_EQ(d.game.phase(), Phase::Dive);
    d.rig.state().Life = 30000;
    d.runTo(90);
    pg.tap(96, 100);  // the middle card of the first deal: the spear
    EXPECT_EQ(d.st().SpearLane, Lane::White);
    d.sound.log.clear();

    // A drag up or down opens a tank; left and right swing the spear.
    d.rig.state().Oxygen = 3;
    pg.drag(pg.tank.from.x, pg.tank.from.y, pg.tank.to.x + 1, pg.tank.to.y);
    EXPECT_EQ(d.st().Tanks, 8);
    EXPECT_EQ(d.st().Oxygen, 80);
    pg.drag(40, 160, 100, 162);
    EXPECT_EQ(d.st().SpearLane, Lane::Cyan);
    pg.drag(100, 160, 40, 158);
    EXPECT_EQ(d.st().SpearLane, Lane::White);
    // A flick that overshoots the canvas counts at its edge.
    pg.drag(150, 160, 260, 160, 2);
    EXPECT_EQ(d.st().SpearLane, Lane::Cyan);
    EXPECT_EQ(d.st().UpX, kClientW - 1);

    // A finger resting on the spear strikes, wobbling a little; lifted, the
    // pointer stays on the spear and the strike goes on. No swipe, no click.
    const int id = pg.nextId++;
    pg.send(PagePointer::Down, 141.2, 193.1, kFinger, id);
    EXPECT_TRUE(d.st().Striking);
    const int tanks = d.st().Tanks;
    for (const auto& [dx, dy] : {std::pair{1.5, -0.8}, std::pair{-2.0, 1.9}, std::pair{0.7, 2.4}})
        pg.send(PagePointer::Move, 141.2 + dx, 193.1 + dy, kFinger, id);
    pg.send(PagePointer::Up, 142.0, 194.5, kFinger, id);
    d.runTo(d.st().DiveTick + 3);
    EXPECT_TRUE(d.st().Striking);
    EXPECT_EQ(d.st().Tanks, tanks);
    EXPECT_EQ(d.st().SpearLane, Lane::Cyan);

    // The next touch on the sea ends the strike.
    pg.tap(20, 20);
    EXPECT_FALSE(d.st().Striking);
}

// The good diver's hand as a finger: a click is a tap, a swipe a drag, and
// resting on a spot a touch there, lifted. A finger crosses the sea on its
// way, so after each gesture it goes back to where it rests.
struct FingerHand {
    Page& pg;
    bool resting = false;
    double restX = 0, restY = 0;
    void backToRest() {
        if (resting) pg.tap(restX, restY);
    }
    void click(int x, int y) {
        pg.tap(x + 0.5, y + 0.5);
        backToRest();
    }
    void swipe(int x0, int y0, int x1, int y1) {
        pg.drag(x0 + 0.5, y0 + 0.5, x1 + 0.5, y1 + 0.5);
        backToRest();
    }
    void move(int x, int y) {
        resting = true;
        restX = x + 0.5;
        restY = y + 0.5;
        backToRest();
    }
};

TEST(TouchPlay, AFingerAloneWinsTheWholeDive) {
    Page pg;
    Dive& d = pg.d;
    GoodDiver bot;
    FingerHand finger{pg};
    pg.tap(pg.start.x + 0.5, pg.start.y + 0.5);
    ASSERT_EQ(d.game.phase(), Phase::Dive);
    d.play(bot, finger);
    ASSERT_EQ(d.game.phase(), Phase::Clear);
    EXPECT_GT(d.st().Life, 10000);
    d.runOut();
    EXPECT_EQ(d.field.caption(), kClearCaption);
}

TEST(TouchPlay, ASecondFingerAndACancelledTouchChangeNothing) {
    Page pg;
    Dive& d = pg.d;
    pg.tap(pg.start.x, pg.start.y);
    d.rig.state().Life = 30000;
    d.runTo(90);
    pg.tap(96, 100);
    ASSERT_EQ(d.st().SpearLane, Lane::White);
    d.rig.state().Oxygen = 3;

    // A second finger comes down, drags and lifts while the first rests.
    pg.send(PagePointer::Down, pg.tank.from.x, pg.tank.from.y, kFinger, 7);
    pg.send(PagePointer::Down, 40, 160, kFinger, 8, 0, 1, true, false);
    pg.send(PagePointer::Move, 100, 160, kFinger, 8);
    pg.send(PagePointer::Up, 100, 160, kFinger, 8);
    EXPECT_EQ(d.st().SpearLane, Lane::White);
    EXPECT_EQ(d.st().PointerX, 0);  // no swipe handler has measured anything yet
    // The first finger drags up, but the system cancels its touch.
    pg.send(PagePointer::Move, 100, 150, kFinger, 7);
    pg.send(PagePointer::Move, 100, 135, kFinger, 7);
    pg.send(PagePointer::Cancel, 100, 135, kFinger, 7);
    pg.send(PagePointer::Up, 100, 135, kFinger, 7);  // a stray lift after the cancel
    EXPECT_EQ(d.st().Tanks, 9);
    EXPECT_EQ(d.st().Oxygen, 3);
    // The next finger works as ever.
    pg.drag(pg.tank.from.x, pg.tank.from.y, pg.tank.to.x, pg.tank.to.y);
    EXPECT_EQ(d.st().Tanks, 8);
}

TEST(MousePlay, ALostLeftReleaseAndPressesOfOtherButtonsDuringALeftDrag) {
    Page pg;
    Dive& d = pg.d;
    const int mouse = kMouseId;
    // A press on the canvas's first fractional sliver is on the game.
    pg.send(PagePointer::Move, pg.start.x, pg.start.y, kMouse, mouse);
    EXPECT_EQ(pg.send(PagePointer::Down, -0.3, 50, kMouse, mouse, 0, 1) & kCapturePointer, kCapturePointer);
    EXPECT_EQ(pg.send(PagePointer::Up, -0.3, 50, kMouse, mouse, 0, 0) & kCapturePointer, 0u);
    pg.send(PagePointer::Down, 90.6, 100.2, kMouse, mouse, 0, 1);
    pg.send(PagePointer::Up, 90.6, 100.2, kMouse, mouse, 0, 0);
    ASSERT_EQ(d.game.phase(), Phase::Dive);
    d.rig.state().Life = 30000;
    d.runTo(90);
    pg.send(PagePointer::Down, 96, 100, kMouse, mouse, 0, 1);
    pg.send(PagePointer::Up, 96, 100, kMouse, mouse, 0, 0);
    ASSERT_EQ(d.st().SpearLane, Lane::White);

    // Left pressed on the sea and dragged out of the window; the right
    // button pressed, dragged and let go out there (a chord): heard, and a
    // swipe, as on the desktop while the left button holds the pointer.
    pg.send(PagePointer::Down, 100, 150, kMouse, mouse, 0, 1);
    pg.send(PagePointer::Move, 60, -50, kMouse, mouse, -1, 1, false);
    pg.send(PagePointer::Move, 20, -50, kMouse, mouse, 2, 3, false);
    // WebKit names the left button in the plain moves of a drag.
    pg.send(PagePointer::Move, 50, -52, kMouse, mouse, 0, 3, false);
    pg.send(PagePointer::Move, 90, -55, kMouse, mouse, 2, 1, false);
    EXPECT_EQ(d.st().DownX, 20);
    EXPECT_EQ(d.st().UpX, 90);
    EXPECT_EQ(d.st().SpearLane, Lane::Cyan);

    // The left release happens where the page cannot hear it. The next move
    // over the game shows the button up: the game gets its release first,
    // so the strike starts and stops as the pointer rests on the spear and
    // leaves it again, and the next press turns a card.
    pg.send(PagePointer::Move, 141, 193, kMouse, mouse, -1, 0);
    EXPECT_TRUE(d.st().Striking);
    pg.send(PagePointer::Move, 20, 20, kMouse, mouse, -1, 0);
    EXPECT_FALSE(d.st().Striking);
    d.runTo(430);
    ASSERT_EQ(d.st().DealNo, 2);
    pg.send(PagePointer::Down, 35, 100, kMouse, mouse, 0, 1);
    pg.send(PagePointer::Up, 35, 100, kMouse, mouse, 0, 0);
    EXPECT_EQ(d.st().DealNo, 0);

    // With no button of the game held, moves off the canvas are not heard.
    pg.send(PagePointer::Move, 141, 193, kMouse, mouse, -1, 0);
    ASSERT_TRUE(d.st().Striking);
    pg.send(PagePointer::Move, 141, 300, kMouse, mouse, -1, 0, false);
    EXPECT_TRUE(d.st().Striking);
}

// A finger's end that never comes (browsers drop one now and then, and the
// page cannot place one while its canvas has no size) leaves no dead screen:
// the next first finger is the pointer, and the lost touch neither clicks
// nor swipes.
TEST(TouchPlay, AFingerWhoseEndNeverCameLeavesNoDeadScreen) {
    Page pg;
    Dive& d = pg.d;
    pg.send(PagePointer::Down, 20, 20, kFinger, 40, 0, 1);  // lifted unheard
    pg.diveWithTheSpear();                                   // a tap on 「潜行」 first
    // A drag whose end is lost, then another drag: one tank.
    pg.send(PagePointer::Down, pg.tank.from.x, pg.tank.from.y, kFinger, 41, 0, 1);
    pg.send(PagePointer::Move, pg.tank.to.x, pg.tank.to.y, kFinger, 41, -1, 1);
    pg.drag(pg.tank.from.x, pg.tank.from.y, pg.tank.to.x, pg.tank.to.y);
    EXPECT_EQ(d.st().Tanks, 8);
    // A finger on the spear as the page is hidden, lifted unheard: the game's
    // pointer is free again, and the mouse moves it off the spear.
    pg.send(PagePointer::Down, 141, 193, kFinger, 42, 0, 1);
    ASSERT_TRUE(d.st().Striking);
    pg.input.hidden();
    pg.send(PagePointer::Move, 20, 20, kMouse, kMouseId);
    EXPECT_FALSE(d.st().Striking);
}

// Whatever the pointer, a press the system cancels (palm rejection, a
// system gesture) ends without a click: 「潜行」 pressed and cancelled does
// not start the dive.
TEST(EveryPointer, ACancelledPressIsReleasedWithoutAClick) {
    Page pg;
    Dive& d = pg.d;
    for (const auto& [type, id] : {std::pair{kMouse, kMouseId}, {kPen, kPenId}, {kFinger, 50}}) {
        SCOPED_TRACE(static_cast<int>(type));
        pg.send(PagePointer::Down, 90.5, 100.5, type, id, 0, 1);
        pg.send(PagePointer::Move, 91.5, 101, type, id, -1, 1);
        pg.send(PagePointer::Cancel, 91.5, 101, type, id, -1, 0);
        EXPECT_EQ(d.game.phase(), Phase::None);
    }
    pg.tap(90.5, 100.5, kMouse);
    EXPECT_EQ(d.game.phase(), Phase::Dive);
}

// A pen's tip plays as a finger, so a pen without a button wins the dive:
// a tap clicks, a drag swipes. Its barrel button is the right button, and
// hovering it moves the pointer as a mouse does.
TEST(PenPlay, TheTipTapsAndSwipesTheBarrelButtonIsTheRightButton) {
    Page pg;
    Dive& d = pg.d;
    pg.tap(90.5, 100.5, kPen);
    ASSERT_EQ(d.game.phase(), Phase::Dive);
    d.rig.state().Life = 30000;
    d.runTo(90);
    pg.tap(96, 100, kPen);
    ASSERT_EQ(d.st().SpearLane, Lane::White);
    d.rig.state().Oxygen = 3;
    pg.drag(pg.tank.from.x, pg.tank.from.y, pg.tank.to.x + 1, pg.tank.to.y, 4, kPen);
    EXPECT_EQ(d.st().Tanks, 8);
    pg.drag(40, 160, 100, 162, 4, kPen);
    EXPECT_EQ(d.st().SpearLane, Lane::Cyan);

    pg.send(PagePointer::Down, pg.tank.from.x, pg.tank.from.y, kPen, kPenId, 2, 2);
    pg.send(PagePointer::Move, 100, 150, kPen, kPenId, -1, 2);
    pg.send(PagePointer::Up, pg.tank.to.x, pg.tank.to.y, kPen, kPenId, 2, 0);
    EXPECT_EQ(d.st().Tanks, 7);

    pg.send(PagePointer::Move, 141, 193, kPen, kPenId);
    EXPECT_TRUE(d.st().Striking);
}

// Mouse, pen and finger at once: the first to press on the game is the
// game's pointer until its press is over, and the others are not heard
// meanwhile. A mouse nudged while a finger rests on the spear does not end
// the strike; a mouse moved while the pen's barrel button swipes does not
// let the swipe go; a finger's drag during a mouse press swipes nothing.
TEST(EveryPointer, EachHasItsOwnStateAndTheGameHearsOne) {
    Page pg;
    Dive& d = pg.d;
    pg.diveWithTheSpear();

    pg.send(PagePointer::Down, 141, 193, kFinger, 60, 0, 1);
    EXPECT_TRUE(d.st().Striking);
    pg.send(PagePointer::Move, 20, 20, kMouse, kMouseId);
    pg.send(PagePointer::Down, 20, 20, kMouse, kMouseId, 0, 1);
    pg.send(PagePointer::Up, 20, 20, kMouse, kMouseId, 0, 0);
    EXPECT_TRUE(d.st().Striking);
    pg.send(PagePointer::Up, 141, 193, kFinger, 60, 0, 0);

    pg.send(PagePointer::Down, pg.tank.from.x, pg.tank.from.y, kPen, kPenId, 2, 2);
    pg.send(PagePointer::Move, 30, 30, kMouse, kMouseId);
    pg.send(PagePointer::Move, 100, 150, kPen, kPenId, -1, 2);
    pg.send(PagePointer::Up, pg.tank.to.x, pg.tank.to.y, kPen, kPenId, 2, 0);
    EXPECT_EQ(d.st().Tanks, 8);

    pg.send(PagePointer::Down, 20, 20, kMouse, kMouseId, 0, 1);
    pg.drag(pg.tank.from.x, pg.tank.from.y, pg.tank.to.x, pg.tank.to.y);
    pg.send(PagePointer::Up, 20, 20, kMouse, kMouseId, 0, 0);
    EXPECT_EQ(d.st().Tanks, 8);
}

// A mouse press begun off the canvas is not the game's, nor is anything that
// mouse does until its buttons are up: WebKit names the left button in the
// plain moves of a drag, so its first move over the canvas looks like a
// press there, whether or not the page heard the press on the margin; and
// a right button pressed over the game during such a drag swipes nothing.
// The back and forward buttons (3 and 4) are the game's on the game, alone
// or during a drag of the game's: the browser must not go back and lose the
// dive. Elsewhere they are the browser's. WebKitGTK gives them as a press of
// the left button that `buttons` does not hold: no click.
TEST(MousePlay, APressBegunOffTheCanvasIsNeverTheGames) {
    Page pg;
    Dive& d = pg.d;
    EXPECT_NE(pg.send(PagePointer::Down, 20, 20, kMouse, kMouseId, 3, 8) & kGamesPointer, 0u);
    EXPECT_NE(pg.send(PagePointer::Up, 20, 20, kMouse, kMouseId, 3, 0) & kGamesPointer, 0u);
    pg.send(PagePointer::Down, 20, 20, kMouse, kMouseId, 0, 1);
    EXPECT_NE(pg.send(PagePointer::Move, 20, -40, kMouse, kMouseId, 4, 17, false) & kGamesPointer, 0u);
    EXPECT_NE(pg.send(PagePointer::Move, 20, -40, kMouse, kMouseId, 4, 1, false) & kGamesPointer, 0u);
    pg.send(PagePointer::Up, 20, -40, kMouse, kMouseId, 0, 0, false);
    EXPECT_EQ(pg.send(PagePointer::Down, -30, 20, kMouse, kMouseId, 3, 8, false) & kGamesPointer, 0u);
    EXPECT_EQ(pg.send(PagePointer::Up, -30, 20, kMouse, kMouseId, 3, 0, false) & kGamesPointer, 0u);
    pg.send(PagePointer::Down, pg.start.x, pg.start.y, kMouse, kMouseId, 0, 0);
    pg.send(PagePointer::Up, pg.start.x, pg.start.y, kMouse, kMouseId, 0, 0);
    EXPECT_EQ(d.game.phase(), Phase::None);

    pg.send(PagePointer::Move, pg.start.x, pg.start.y, kMouse, kMouseId, 0, 1);
    pg.send(PagePointer::Up, pg.start.x, pg.start.y, kMouse, kMouseId, 0, 0);
    EXPECT_EQ(d.game.phase(), Phase::None);
    pg.diveWithTheSpear();

    pg.send(PagePointer::Down, -30, 170, kMouse, kMouseId, 0, 1, false);
    pg.send(PagePointer::Move, pg.tank.from.x, pg.tank.from.y, kMouse, kMouseId, 0, 1);
    pg.send(PagePointer::Move, pg.tank.from.x, pg.tank.from.y, kMouse, kMouseId, 2, 3);
    pg.send(PagePointer::Move, pg.tank.to.x, pg.tank.to.y, kMouse, kMouseId, 0, 3);
    pg.send(PagePointer::Move, pg.tank.to.x, pg.tank.to.y, kMouse, kMouseId, 2, 1);
    pg.send(PagePointer::Up, 141, 193, kMouse, kMouseId, 0, 0);
    EXPECT_EQ(d.st().Tanks, 9);
    EXPECT_FALSE(d.st().Striking);
    pg.send(PagePointer::Move, 141, 193, kMouse, kMouseId);
    EXPECT_TRUE(d.st().Striking);
}

}  // namespace
