// A whole dive without a window: the real game and loop, a fake clock that
// jumps to each deadline, the game's own font (its glyph table, so every
// text item is as wide as the game draws it, and a pointer over text goes
// where it goes in the game), a recording sound sink, and
// pointer events handed in by the caller. The tests, the benchmarks, the
// fuzzers and the snapshot tool all play through it.
#pragma once
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/game.h"
#include "loop/scheduler.h"
#include "headless/test_access.h"
#include "screen/glyph_font.h"
#include "screen/glyph_table.h"

class RecordingSink : public CommandSink {
public:
    int send(const std::string& c) override {
        log.push_back(c);
        if (onSend) onSend(c);
        return 0;
    }
    std::vector<std::string> log;
    // Lets a test act while a command is being carried out, as a player
    // whose clicks pile up while a piece of music loads.
    std::function<void(const std::string&)> onSend;
};

class FakePlatform : public Platform {
public:
    int32_t now = 5000;
    int presents = 0;
    int sleeps = 0;
    std::deque<PlatformEvent> queue;
    // Asked when nothing else can happen (no phase, nothing queued): true
    // closes the window, which ends run().
    std::function<bool()> closeWhenIdle = [] { return true; };
    // Like a browser, the platform cannot block: a sleep leaves `now` alone
    // and only holds the clock back from reading earlier than its end, and
    // the loop must never ask it to wait.
    bool cannotBlock = false;

    int32_t clock() override { return cannotBlock ? sleepless_.read(now) : now; }
    void sleepMs(int ms) override {
        ++sleeps;
        if (cannotBlock)
            sleepless_.sleep(now, ms);
        else
            now += ms;
    }
    bool poll(PlatformEvent& ev) override {
        if (queue.empty()) return false;
        ev = queue.front();
        queue.pop_front();
        return true;
    }
    bool wait(PlatformEvent& ev, std::optional<int32_t> deadline) override {
        if (cannotBlock) throw std::logic_error("the loop waited on a platform that cannot block");
        if (poll(ev)) return true;
        if (deadline) {
            advanceTo(*deadline);
            return false;
        }
        ev.type = PlatformEvent::Quit;
        return closeWhenIdle();
    }
    void present(const Playfield&) override { ++presents; }
    // Time passes to t (never backwards).
    void advanceTo(int32_t t) {
        if (elapsedMs(t, now) > 0) now = t;
    }

private:
    SleeplessClock sleepless_;
};

// Where the tests point, placed by the game's own layout rather than written
// out in each test: the start click and the two swipes of the diver's hand.
struct Spot {
    int x, y;
};
struct Stroke {
    Spot from, to;
};
inline Spot middleOf(const ItemState& it) { return {it.left + it.width / 2, it.top + it.height / 2}; }
// The start click: the title word's middle.
inline Spot titleClick(const Playfield& f) { return middleOf(f[Item::titleWord]); }
// The open sea: the band across the sea below the card slots and above the
// gauges, where a press lands on the sea and nothing else.
inline ItemState openSea(const Playfield& f) {
    ItemState band = f[Item::sea];
    const ItemState& card = f[Item::cardSlot1];
    band.top = card.top + card.height;
    band.height = f[Item::lifeCaption].top - band.top;
    return band;
}
// A tank: a right swipe straight up the open sea's middle, bottom to top.
inline Stroke tankSwipe(const Playfield& f) {
    const ItemState sea = openSea(f);
    const int x = sea.left + sea.width / 2;
    return {{x, sea.top + sea.height - 1}, {x, sea.top}};
}
// The spear swung: a right swipe straight across the open sea's middle, from
// a quarter of its width in to a quarter short of its right side.
inline Stroke spearSwing(const Playfield& f) {
    const ItemState sea = openSea(f);
    const int y = sea.top + sea.height / 2;
    return {{sea.left + sea.width / 4, y}, {sea.left + sea.width - sea.width / 4, y}};
}

// The client area's top-left corner on the fake screen.
constexpr int kOriginX = 300, kOriginY = 200;

// How the loop is driven: by its own blocking runOnce(), as on the desktop,
// or turn by turn by a host that cannot block, as in a browser.
enum class Driver { Blocking, TurnByTurn };

// One window: the fake platform, the game's font and the recording sound
// sink it stands on, and its loop with the game. The game lives as long as
// the Dive; its destruction sends the last sound commands to `sound`.
struct Dive {
    GlyphFont font{kBakedGlyphs};
    RecordingSink sound;
    FakePlatform plat;
    Scheduler loop;
    Game& game = loop.game();
    const Playfield& field = game.view().playfield;
    // Past the rules, to set up a situation: d.rig.state().Life = 3000.
    GameTestAccess rig{game};
    // Where the window's client area lies on the screen.
    int32_t originX = kOriginX, originY = kOriginY;

    explicit Dive(uint32_t seed = 12345, Driver driver = Driver::Blocking) : loop(plat, font, sound, seed) {
        plat.cannotBlock = driver == Driver::TurnByTurn;
    }
    Dive(const Dive&) = delete;
    Dive& operator=(const Dive&) = delete;

    // One pass of the loop. Blocking, that is runOnce(). Turn by turn, it is
    // one turn and what its host then does: a timer that fires at the
    // deadline, or, with nothing to wait for but an event, the question
    // whether the window is closed now.
    void pass() {
        if (!plat.cannotBlock) {
            loop.runOnce();
            return;
        }
        const NextTurn next = loop.turn();
        if (next.kind == NextTurn::AtDeadline) {
            plat.advanceTo(next.deadline);
        } else if (next.kind == NextTurn::OnEvent && plat.closeWhenIdle()) {
            plat.queue.push_back(PlatformEvent{PlatformEvent::Quit, {}});
        }
    }

    const GameState& st() const { return game.view().state; }

    // Queue a pointer event at client position (x, y).
    void mouse(MouseKind k, Button b, int x, int y) {
        PlatformEvent ev;
        ev.type = PlatformEvent::Pointer;
        ev.pointer = {k, b, x, y, originX + x, originY + y, originX, originY};
        plat.queue.push_back(ev);
    }
    void move(int x, int y) { mouse(MouseKind::Move, Button::Left, x, y); }
    void press(Button b, int x, int y) { mouse(MouseKind::Down, b, x, y); }
    void release(Button b, int x, int y) { mouse(MouseKind::Up, b, x, y); }
    void click(int x, int y) {
        press(Button::Left, x, y);
        release(Button::Left, x, y);
    }
    void swipe(int x0, int y0, int x1, int y1) {
        press(Button::Right, x0, y0);
        release(Button::Right, x1, y1);
    }
    void swipe(Stroke s) { swipe(s.from.x, s.from.y, s.to.x, s.to.y); }

    // Handle everything queued (and repaint), as the loop would before the
    // next step.
    void settle() {
        while (!plat.queue.empty()) pass();
    }
    // Hover and click the title word.
    void start() {
        const Spot at = titleClick(field);
        move(at.x, at.y);
        click(at.x, at.y);
        settle();
    }
    // Run the loop until the dive tick reaches t (the step of tick t done).
    void runTo(int t) {
        while (st().DiveTick < t && !loop.closed() && game.phase() == Phase::Dive) pass();
    }
    // Let a bot play from here: after every tick it looks at the state and
    // acts through hand; stops when the dive ends or tick `until` is done.
    template <class Bot, class Hand>
    void play(Bot& bot, Hand& hand, int until = 1 << 30) {
        while (game.phase() == Phase::Dive && !loop.closed() && st().DiveTick < until) {
            runTo(st().DiveTick + 1);
            bot.afterTick(st(), hand);
            settle();
        }
    }
    // Run until no phase is left (or the window closes).
    void runOut(int maxSteps = 10'000'000) {
        while (game.phase() != Phase::None && !loop.closed() && maxSteps-- > 0) pass();
        settle();
    }
    bool shown(Item id) const { return field.visible(id); }
    const std::string& text(Item id) const { return field[id].text; }
};
