// The test build's watcher of the page. After every step it tells the
// page's watchers (the browser tests, the bench) the step's phase and gauges,
// and, after a dive tick, what the project's good diver (headless/bots.h,
// the one the headless tests play) wishes done; the tests carry that out
// with the browser's real pointer. And it says when the first frame is on
// the canvas.
//
// What a test may ask for in the page's address:
//   ?from=N  the dive jumps, on its first tick, to tick N of the good diver's
//            own dive, played headless in a moment on the page's seed: a
//            test of the dive's end plays only its end in real time
//   ?lag=N   every dive step starts N ms late (a page that keeps the wrong
//            pace, to show that the tests see one)
#include "web/page_watch.h"

#include <emscripten.h>

#include <deque>

#include "core/game.h"
#include "headless/bots.h"
#include "headless/harness.h"
#include "screen/glyph_font.h"
#include "screen/glyph_table.h"

namespace {

const char* laneName(Lane l) {
    switch (l) {
        case Lane::None: return "none";
        case Lane::White: return "white";
        case Lane::Cyan: return "cyan";
        case Lane::Red: return "red";
    }
    return "?";
}

// Releases the game has heard, counted by watchPointer.
int g_releasesHeard = 0;

// The diver's hand in the page: it only says what it wishes. The tests carry
// out every wish once, in order, whenever they read it, so a click or a
// swipe the diver wishes again while the same wish still waits for its
// release to reach the game would be done twice: it is not made again.
class WishingHand {
public:
    void click(int x, int y) { wish("click", x, y, x, y, true); }
    void swipe(int x0, int y0, int x1, int y1) { wish("swipe", x0, y0, x1, y1, true); }
    void move(int x, int y) { wish("move", x, y, x, y, false); }
    void at(int diveTick) {
        tick_ = diveTick;
        // Each release heard carries out the oldest wish still waiting.
        for (; heard_ < g_releasesHeard && !waiting_.empty(); ++heard_) waiting_.pop_front();
        heard_ = g_releasesHeard;
    }

private:
    struct Wish {
        const char* op;
        int x0, y0, x1, y1;
        bool operator==(const Wish&) const = default;
    };
    void wish(const char* op, int x0, int y0, int x1, int y1, bool released) {
        const Wish w{op, x0, y0, x1, y1};
        if (released) {
            for (const Wish& old : waiting_)
                if (old == w) return;
            waiting_.push_back(w);
        }
        torvenka_watch_wish(tick_, op, x0, y0, x1, y1);
    }

    std::deque<Wish> waiting_;
    int heard_ = 0;
    int tick_ = 0;
};

// The good diver's own dive, headless on the page's seed and font, played
// to tick `to` with a hand that acts at once.
class HeadlessDiver {
public:
    explicit HeadlessDiver(uint32_t seed) : loop_(plat_, font_, sound_, seed) {}

    Game& diveTo(int to) {
        mouse(MouseKind::Move, Button::Left, start_.first, start_.second);
        mouse(MouseKind::Down, Button::Left, start_.first, start_.second);
        mouse(MouseKind::Up, Button::Left, start_.first, start_.second);
        settle();
        Game& game = loop_.game();
        GoodDiver diver;
        while (game.phase() == Phase::Dive && game.view().state.DiveTick < to) {
            const int next = game.view().state.DiveTick + 1;
            while (game.view().state.DiveTick < next && game.phase() == Phase::Dive) loop_.runOnce();
            diver.afterTick(game.view().state, *this);
            settle();
        }
        return game;
    }
    void click(int x, int y) {
        mouse(MouseKind::Down, Button::Left, x, y);
        mouse(MouseKind::Up, Button::Left, x, y);
    }
    void swipe(int x0, int y0, int x1, int y1) {
        mouse(MouseKind::Down, Button::Right, x0, y0);
        mouse(MouseKind::Up, Button::Right, x1, y1);
    }
    void move(int x, int y) { mouse(MouseKind::Move, Button::Left, x, y); }

private:
    void mouse(MouseKind k, Button b, int x, int y) {
        PlatformEvent ev;
        ev.type = PlatformEvent::Pointer;
        ev.pointer = {k, b, x, y, kOriginX + x, kOriginY + y, kOriginX, kOriginY};
        plat_.queue.push_back(ev);
    }
    void settle() {
        while (!plat_.queue.empty()) loop_.runOnce();
    }

    GlyphFont font_{kBakedGlyphs};
    RecordingSink sound_;
    FakePlatform plat_;
    Scheduler loop_;
    std::pair<int, int> start_ = titleWordMiddle(loop_.game().view().playfield);

    static std::pair<int, int> titleWordMiddle(const Playfield& field) {
        const ItemState& t = field[Item::titleWord];
        return {t.left + t.width / 2, t.top + t.height / 2};
    }
};

class PageWatch : public LoopObserver {
public:
    explicit PageWatch(Game& game) : game_(game) {
        // The tests' hand comes a step or a few after the wish (a round trip
        // to the browser for each action), and the oxygen goes down by one
        // every second step: the tank is wanted early enough to come in time.
        diver_.tankBelow = 12;
    }
    void beforeStep(Phase phase) override {
        if (phase != Phase::Dive || lag_ <= 0) return;
        // A late page: the step, and so the next gate, starts lag_ ms later.
        const double until = emscripten_get_now() + lag_;
        while (emscripten_get_now() < until) {
        }
    }
    void afterStep(Phase phase, bool ran) override {
        if (!ran) return;
        if (phase == Phase::Dive && from_ > 1 && game_.view().state.DiveTick == 1) jumpTo(from_);
        const GameState& s = game_.view().state;
        torvenka_watch_step(phaseName(phase), s.DiveTick, s.Life, s.Oxygen, s.Tanks, laneName(s.SpearLane), s.DealNo,
                            s.EnemyActive ? 1 : 0, laneName(s.EnemyLane), s.Striking ? 1 : 0);
        if (phase == Phase::Dive) {
            hand_.at(s.DiveTick);
            diver_.afterTick(s, hand_);
        }
    }
    void afterPresent() override {
        if (framed_) return;
        framed_ = true;
        torvenka_watch_first_frame();
    }

private:
    // The page's dive becomes the good diver's at tick `to`: its state (but
    // the page's own clock), its playfield, its dice, and the music it hears
    // then.
    void jumpTo(int to) {
        HeadlessDiver headless(game_.view().dice.seed());
        Game& there = headless.diveTo(to);
        GameTestAccess here(game_), from(there);
        const int32_t lastTick = here.state().LastTick;
        here.state() = from.state();
        here.state().LastTick = lastTick;
        here.playfield().copyFrom(from.playfield());
        here.dice() = from.dice();
        if (here.state().BgmNo != Music::DiveTheme) {
            here.stopMusic();
            here.playMusic(here.state().BgmNo);
        }
    }

    Game& game_;
    GoodDiver diver_;
    WishingHand hand_;
    bool framed_ = false;
    const int from_ = torvenka_watch_asked("from");
    const int lag_ = torvenka_watch_asked("lag");
};

}  // namespace

void watchPointer(const PointerEvent& p) {
    if (p.kind == MouseKind::Move) return;
    if (p.kind == MouseKind::Up) ++g_releasesHeard;
    const char* button = p.button == Button::Left ? "left" : p.button == Button::Right ? "right" : "middle";
    torvenka_watch_press(p.kind == MouseKind::Down ? "down" : "up", button, p.x, p.y);
}

std::unique_ptr<LoopObserver> watchPage(Scheduler& loop) {
    auto watch = std::make_unique<PageWatch>(loop.game());
    loop.setObserver(watch.get());
    return watch;
}
