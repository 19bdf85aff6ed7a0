// The loop's phases and gates, on a fake clock.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/texts.h"
#include "headless/harness.h"

namespace {

// The dive step runs at the first idle call whose clock shows the gate
// passed since the end of the previous step; each step ends with a 1 ms
// sleep and a new LastTick.
TEST(Scheduler, DiveStepsAreGatedFromTheEndOfThePreviousStep) {
    Dive d;
    d.start();
    ASSERT_EQ(d.game.phase(), Phase::Dive);
    const int32_t t0 = d.st().LastTick;
    EXPECT_EQ(t0, d.plat.now);  // taken at the click

    const int32_t gate = gateOf(Phase::Dive), apart = stepApartMs(Phase::Dive);
    for (int i = 0; i < 5; ++i) {
        const int before = d.st().DiveTick;
        const int32_t last = d.st().LastTick;
        while (d.st().DiveTick == before) {
            d.loop.runOnce();
            // Never a step before the gate.
            if (d.st().DiveTick == before) {
                ASSERT_LE(elapsedMs(d.plat.now, last), gate);
            }
        }
        // The step started exactly as the gate opened and slept 1 ms.
        EXPECT_EQ(d.st().LastTick, last + apart);
    }
    EXPECT_EQ(d.st().DiveTick, 5);
    EXPECT_EQ(d.st().LastTick, t0 + 5 * apart);
}

TEST(Scheduler, GateUsesSigned32BitElapsedAcrossTheWrap) {
    EXPECT_EQ(elapsedMs(INT32_MIN + 5, INT32_MAX - 4), 10);
    EXPECT_EQ(elapsedMs(10, 40), -30);
    // The clock keeps counting forward past 24.8 and 49.7 days of up-time.
    for (const uint64_t ms : {(1ull << 31) - 10, (1ull << 32) - 10, (1ull << 33) + (1ull << 31) - 10}) {
        EXPECT_EQ(elapsedMs(clockFromMs(ms + 31), clockFromMs(ms)), 31) << ms;
        EXPECT_EQ(elapsedMs(clockFromMs(ms + 20), clockFromMs(ms + 10)), 10) << ms;
    }
    Dive d;
    d.plat.now = INT32_MAX - 10;
    d.start();
    d.runTo(3);
    EXPECT_EQ(d.st().DiveTick, 3);
    EXPECT_EQ(d.st().LastTick, static_cast<int32_t>(static_cast<uint32_t>(INT32_MAX) - 10u + 93u));
    // A clock that reads earlier than LastTick (elapsed negative) never steps.
    d.rig.state().LastTick = d.plat.now + 1000;
    const int before = d.st().DiveTick;
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(d.game.step());
    EXPECT_EQ(d.st().DiveTick, before);
}

// A slow step is not caught up: the cadence counts from the end of a step.
TEST(Scheduler, LateStepsAreNotCaughtUp) {
    Dive d;
    d.start();
    d.runTo(1);
    d.plat.now += 500;  // the machine stalls for half a second
    const int32_t stalled = d.plat.now;
    d.runTo(2);
    EXPECT_EQ(d.st().LastTick, stalled + 1);  // step ran at once, then slept
    d.runTo(3);
    EXPECT_EQ(d.st().LastTick, stalled + 1 + 31);
}

// The tick that hands over sleeps twice; the game-over step waits its own
// 500 ms gate from the end of that tick and runs exactly once.
TEST(Scheduler, HandOverToGameOverSleepsTwiceAndWaitsItsGate) {
    Dive d;
    d.start();
    d.rig.state().Life = 0;
    d.runTo(109);  // 108 curtain moves, then the hand-over on the 109th
    ASSERT_EQ(d.game.phase(), Phase::GameOver);
    EXPECT_EQ(d.field.top(Item::curtain), -1);
    const int32_t handOverEnd = d.st().LastTick;
    const int sleepsAtHandOver = d.plat.sleeps;
    EXPECT_FALSE(d.shown(Item::gameOver));
    // The picture does not come before 500 ms.
    while (!d.shown(Item::gameOver)) {
        ASSERT_LT(elapsedMs(d.plat.now, handOverEnd), 500 + 1);
        d.loop.runOnce();
    }
    EXPECT_EQ(d.st().LastTick, handOverEnd + 501);
    EXPECT_EQ(d.plat.sleeps, sleepsAtHandOver + 1);
    EXPECT_EQ(d.game.phase(), Phase::None);
    EXPECT_EQ(d.field.caption(), kGameName);
}

TEST(Scheduler, HandOverTickSleepsTwice) {
    Dive d;
    d.start();
    d.rig.state().Life = 0;
    d.runTo(108);
    const int s = d.plat.sleeps;
    d.runTo(109);
    EXPECT_EQ(d.plat.sleeps - s, 2);
    EXPECT_EQ(d.game.phase(), Phase::GameOver);
}

// Handling waiting events on demand runs their handlers, repaints, and does
// not call the idle handler.
TEST(Scheduler, ProcessMessagesRunsHandlersButNotTheStep) {
    Dive d;
    d.start();
    d.plat.now += 1000;  // the gate is long open
    d.move(titleClick(d.field).x, titleClick(d.field).y);  // over the sea now: no title, but a move handler runs
    d.rig.state().Striking = true;
    const int presents = d.plat.presents;
    d.game.markDirty();
    d.loop.processMessages();
    EXPECT_FALSE(d.st().Striking);      // moveOverSea ran
    EXPECT_EQ(d.st().DiveTick, 0);      // diveStep did not
    EXPECT_EQ(d.plat.presents, presents + 1);
}

// Turn by turn, the loop never waits and tells its host when to come back:
// at the next event on the title, at the gate's deadline in the dive, never
// once the window is closed.
TEST(Scheduler, TurnsSayWhenToComeBack) {
    Dive d(12345, Driver::TurnByTurn);
    while (d.loop.turn().kind == NextTurn::Now) {  // the first repaint
    }
    EXPECT_EQ(d.loop.turn().kind, NextTurn::OnEvent);
    d.start();
    NextTurn next = d.loop.turn();
    while (next.kind == NextTurn::Now) next = d.loop.turn();
    ASSERT_EQ(next.kind, NextTurn::AtDeadline);
    EXPECT_EQ(next.deadline, d.st().LastTick + 30);
    // A host that calls early is told the same again; at the deadline the
    // step runs, and its 1 ms sleep shows on the clock but not in `now`.
    d.plat.now = next.deadline - 1;
    EXPECT_EQ(d.loop.turn().deadline, next.deadline);
    d.plat.now = next.deadline;
    EXPECT_EQ(d.loop.turn().kind, NextTurn::Now);
    EXPECT_EQ(d.st().DiveTick, 1);
    EXPECT_EQ(d.st().LastTick, next.deadline + 1);
    EXPECT_EQ(d.plat.now, next.deadline);
    d.plat.queue.push_back(PlatformEvent{PlatformEvent::Quit, {}});
    EXPECT_EQ(d.loop.turn().kind, NextTurn::Closed);
}

// With no phase the loop blocks for the next event: the fake platform is
// asked to wait without a deadline, and a close ends the run.
TEST(Scheduler, IdleTitleBlocksAndCloseEndsTheLoop) {
    Dive d;
    int idleWaits = 0;
    d.plat.closeWhenIdle = [&] { return ++idleWaits >= 1; };
    d.loop.run();
    EXPECT_TRUE(d.loop.closed());
    EXPECT_EQ(idleWaits, 1);
    EXPECT_EQ(d.st().DiveTick, 0);
}

}  // namespace
