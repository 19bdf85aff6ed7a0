// The page's pointers in a real dive: fingers play the whole game (a tap
// clicks, a drag swipes, a resting finger strikes), and a mouse keeps the
// desktop's rules where a browser hides a release or a chorded press.
#include <gtest/gtest.h>

#include "core/texts.h"
#include "headless/bots.h"
#include "headless/harness.h"
#include "web/pointer_input.h"

namespace {

constexpr int kOrigin = 100;  // the canvas's corner on the screen

struct Page {
    Dive d;
    PointerInput input{[this](const PointerEvent& p) { d.plat.queue.push_back({PlatformEvent::Pointer, p}); }};
    int nextId = 1;

    bool send(PagePointer::Kind kind, double x, double y, bool touch, int id, int button = -1, unsigned buttons = 0,
              bool onCanvas = true) {
        PagePointer p;
        p.kind = kind;
        p.id = id;
        p.touch = touch;
        p.button = button;
        p.buttons = buttons;
        p.x = x;
        p.y = y;
        p.onCanvas = onCanvas;
        p.originX = p.originY = kOrigin;
        const bool capture = input.handle(p);
        d.settle();
        return capture;
    }
    // A finger from (x0, y0) through `steps` moves to (x1, y1), lifted there.
    void drag(double x0, double y0, double x1, double y1, int steps = 4) {
        const int id = nextId++;
        send(PagePointer::Down, x0, y0, true, id);
        for (int i = 1; i <= steps; ++i)
            send(PagePointer::Move, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, true, id);
        send(PagePointer::Up, x1, y1, true, id);
    }
    void tap(double x, double y) { drag(x, y, x, y, 0); }
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
    pg.drag(100, 170, 101, 140);
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
    pg.send(PagePointer::Down, 141.2, 193.1, true, id);
    EXPECT_TRUE(d.st().Striking);
    const int tanks = d.st().Tanks;
    for (const auto& [dx, dy] : {std::pair{1.5, -0.8}, std::pair{-2.0, 1.9}, std::pair{0.7, 2.4}})
        pg.send(PagePointer::Move, 141.2 + dx, 193.1 + dy, true, id);
    pg.send(PagePointer::Up, 142.0, 194.5, true, id);
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
    pg.tap(90.5, 100.5);
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
    pg.tap(90, 100);
    d.rig.state().Life = 30000;
    d.runTo(90);
    pg.tap(96, 100);
    ASSERT_EQ(d.st().SpearLane, Lane::White);
    d.rig.state().Oxygen = 3;

    // A second finger comes down, drags and lifts while the first rests.
    pg.send(PagePointer::Down, 100, 170, true, 7);
    pg.send(PagePointer::Down, 40, 160, true, 8);
    pg.send(PagePointer::Move, 100, 160, true, 8);
    pg.send(PagePointer::Up, 100, 160, true, 8);
    EXPECT_EQ(d.st().SpearLane, Lane::White);
    EXPECT_EQ(d.st().PointerX, 0);  // no swipe handler has measured anything yet
    // The first finger drags up, but the system cancels its touch.
    pg.send(PagePointer::Move, 100, 150, true, 7);
    pg.send(PagePointer::Move, 100, 135, true, 7);
    pg.send(PagePointer::Cancel, 100, 135, true, 7);
    pg.send(PagePointer::Up, 100, 135, true, 7);  // a stray lift after the cancel
    EXPECT_EQ(d.st().Tanks, 9);
    EXPECT_EQ(d.st().Oxygen, 3);
    // The next finger works as ever.
    pg.drag(100, 170, 100, 140);
    EXPECT_EQ(d.st().Tanks, 8);
}

TEST(MousePlay, ALostLeftReleaseAndPressesOfOtherButtonsDuringALeftDrag) {
    Page pg;
    Dive& d = pg.d;
    const int mouse = 1;
    // A press on the canvas's first fractional sliver is on the game.
    pg.send(PagePointer::Move, 90, 100, false, mouse);
    EXPECT_TRUE(pg.send(PagePointer::Down, -0.3, 50, false, mouse, 0, 1));
    EXPECT_FALSE(pg.send(PagePointer::Up, -0.3, 50, false, mouse, 0, 0));
    pg.send(PagePointer::Down, 90.6, 100.2, false, mouse, 0, 1);
    pg.send(PagePointer::Up, 90.6, 100.2, false, mouse, 0, 0);
    ASSERT_EQ(d.game.phase(), Phase::Dive);
    d.rig.state().Life = 30000;
    d.runTo(90);
    pg.send(PagePointer::Down, 96, 100, false, mouse, 0, 1);
    pg.send(PagePointer::Up, 96, 100, false, mouse, 0, 0);
    ASSERT_EQ(d.st().SpearLane, Lane::White);

    // Left pressed on the sea and dragged out of the window; the right
    // button pressed, dragged and let go out there (a chord): heard, and a
    // swipe, as on the desktop while the left button holds the pointer.
    pg.send(PagePointer::Down, 100, 150, false, mouse, 0, 1);
    pg.send(PagePointer::Move, 60, -50, false, mouse, -1, 1, false);
    pg.send(PagePointer::Move, 20, -50, false, mouse, 2, 3, false);
    // WebKit names the left button in the plain moves of a drag.
    pg.send(PagePointer::Move, 50, -52, false, mouse, 0, 3, false);
    pg.send(PagePointer::Move, 90, -55, false, mouse, 2, 1, false);
    EXPECT_EQ(d.st().DownX, 20);
    EXPECT_EQ(d.st().UpX, 90);
    EXPECT_EQ(d.st().SpearLane, Lane::Cyan);

    // The left release happens where the page cannot hear it. The next move
    // over the game shows the button up: the game gets its release first,
    // so the strike starts and stops as the pointer rests on the spear and
    // leaves it again, and the next press turns a card.
    pg.send(PagePointer::Move, 141, 193, false, mouse, -1, 0);
    EXPECT_TRUE(d.st().Striking);
    pg.send(PagePointer::Move, 20, 20, false, mouse, -1, 0);
    EXPECT_FALSE(d.st().Striking);
    d.runTo(430);
    ASSERT_EQ(d.st().DealNo, 2);
    pg.send(PagePointer::Down, 35, 100, false, mouse, 0, 1);
    pg.send(PagePointer::Up, 35, 100, false, mouse, 0, 0);
    EXPECT_EQ(d.st().DealNo, 0);

    // With no button of the game held, moves off the canvas are not heard.
    pg.send(PagePointer::Move, 141, 193, false, mouse, -1, 0);
    ASSERT_TRUE(d.st().Striking);
    pg.send(PagePointer::Move, 141, 300, false, mouse, -1, 0, false);
    EXPECT_TRUE(d.st().Striking);
}

}  // namespace
