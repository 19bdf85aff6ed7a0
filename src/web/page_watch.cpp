// The test build's watcher of the page. After every step it tells the
// page's watchers (the browser tests, the bench) the step's phase and gauges,
// and, after a dive tick, what the project's good diver (headless/bots.h,
// the one the headless tests play) would do now; the tests carry that out
// with the browser's real pointer. And it says when the first frame is on
// the canvas.
#include "web/page_watch.h"

#include "core/game.h"
#include "headless/bots.h"

namespace {

const char* phaseName(Phase p) {
    switch (p) {
        case Phase::None: return "none";
        case Phase::Dive: return "dive";
        case Phase::GameOver: return "gameover";
        case Phase::Clear: return "clear";
    }
    return "?";
}

const char* laneName(Lane l) {
    switch (l) {
        case Lane::None: return "none";
        case Lane::White: return "white";
        case Lane::Cyan: return "cyan";
        case Lane::Red: return "red";
    }
    return "?";
}

// The diver's hand: it only says what it would do.
struct WantedHand {
    void click(int x, int y) { torvenka_watch_want("click", x, y, x, y); }
    void swipe(int x0, int y0, int x1, int y1) { torvenka_watch_want("swipe", x0, y0, x1, y1); }
    void move(int x, int y) { torvenka_watch_want("move", x, y, x, y); }
};

class PageWatch : public LoopObserver {
public:
    explicit PageWatch(const Game& game) : game_(game) {
        // The tests' hand comes a step or a few after the wish (a round trip
        // to the browser for each action), and the oxygen goes down by one
        // every second step: the tank is wanted early enough to come in time.
        diver_.tankBelow = 12;
    }
    void afterStep(Phase phase, bool ran) override {
        if (!ran) return;
        const GameState& s = game_.view().state;
        torvenka_watch_step(phaseName(phase), s.DiveTick, s.Life, s.Oxygen, s.Tanks, laneName(s.SpearLane), s.DealNo,
                            s.EnemyActive ? 1 : 0, laneName(s.EnemyLane), s.Striking ? 1 : 0);
        if (phase == Phase::Dive) {
            WantedHand hand;
            diver_.afterTick(s, hand);
        }
    }
    void afterPresent() override {
        if (framed_) return;
        framed_ = true;
        torvenka_watch_first_frame();
    }

private:
    const Game& game_;
    GoodDiver diver_;
    bool framed_ = false;
};

}  // namespace

void watchPointer(const PointerEvent& p) {
    if (p.kind == MouseKind::Move) return;
    const char* button = p.button == Button::Left ? "left" : p.button == Button::Right ? "right" : "middle";
    torvenka_watch_press(p.kind == MouseKind::Down ? "down" : "up", button, p.x, p.y);
}

std::unique_ptr<LoopObserver> watchPage(Scheduler& loop) {
    auto watch = std::make_unique<PageWatch>(loop.game());
    loop.setObserver(watch.get());
    return watch;
}
