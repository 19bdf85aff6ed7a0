// divebench: the time one whole dive takes in the headless harness: the real
// game and message loop with a fake clock that jumps to every deadline, a
// stand-in font and a recording sound sink, so that only the game's own work
// is measured (no window, no waiting).
//
//   divebench [N]    N dives of each kind (default 100)
//
// Then the dives' records: their size in memory, as a file and as a link's
// text, for the scripted dives and for a won dive whose player keeps the
// mouse moving (three to five moves a step, as a mouse reports them), and
// what writing a record costs a step.
//
// Two dives: one played to the win (every event of the script, then the
// clear sequence to its last step) and one left alone after the start click
// (the diver dies, the curtain rises, game over). Each is timed twice: the
// game logic alone, and with every frame the loop puts on the screen composed
// as the window would (in memory, with the stand-in font). Prints the median,
// the fastest and the slowest time per dive.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fstream>

#include "core/texts.h"
#include "headless/bots.h"
#include "headless/harness.h"
#include "headless/replay.h"
#include "record/record_format.h"
#include "screen/compositor.h"

namespace {

// Composes every frame the loop puts on the screen, as the window would (in
// memory, with the stand-in font).
class FrameDrawer : public LoopObserver {
public:
    explicit FrameDrawer(Dive& d) : d_(d) {}
    void afterPresent() override { compose(d_.field, d_.font, frame_.data(), kClientW); }

private:
    Dive& d_;
    std::vector<uint32_t> frame_ = std::vector<uint32_t>(static_cast<size_t>(kClientW) * kClientH);
};

// The good diver of the tests, to the end of the clear sequence.
void playWell(Dive& d) {
    GoodDiver bot;
    d.start();
    d.play(bot, d);
    d.runOut();
}

// Clicks the title word and does nothing more.
void leaveAlone(Dive& d) {
    d.start();
    d.runOut();
}

bool won(const Dive& d) { return d.field.caption() == kClearCaption && d.shown(Item::tastyMessage); }
bool lost(const Dive& d) { return d.shown(Item::gameOver) && d.field.caption() == "Torvenka"; }

void bench(const char* name, void (*play)(Dive&), bool (*ended)(const Dive&), bool draw, int n) {
    std::vector<double> ms;
    int ticks = 0, frames = 0, bad = 0;
    for (int i = 0; i < n; ++i) {
        const uint32_t seed = 1000u + 7919u * static_cast<uint32_t>(i);
        const auto t0 = std::chrono::steady_clock::now();
        Dive d(seed);
        FrameDrawer drawer(d);
        if (draw) d.loop.setObserver(&drawer);
        play(d);
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        ticks = std::max<int>(ticks, d.st().DiveTick);
        frames = std::max(frames, d.plat.presents);
        if (!ended(d)) ++bad;
    }
    std::sort(ms.begin(), ms.end());
    const size_t m = ms.size() / 2;
    const double median = ms.size() % 2 ? ms[m] : (ms[m - 1] + ms[m]) / 2;
    std::printf("  %-22s %-14s median %8.3f ms   fastest %8.3f   slowest %8.3f   (%d ticks, %d frames)\n", name,
                draw ? "with drawing" : "logic only", median, ms.front(), ms.back(), ticks, frames);
    if (bad) std::printf("  !! %d of %d dives did not end as they should\n", bad, n);
}

// The good diver's hand, and a mouse that never rests: after every step,
// `least` to `least` + 2 moves (three to five from a mouse reporting 125
// times a second, about thirty at 1000), over the sea until the spear is
// turned, then wandering over the spear.
struct RestlessHand {
    Dive& d;
    GoodDiver& bot;
    int least = 3;
    uint32_t wobble = 1;
    void click(int x, int y) { d.click(x, y); }
    void swipe(int x0, int y0, int x1, int y1) { d.swipe(x0, y0, x1, y1); }
    void move(int x, int y) { d.move(x, y); }
    uint32_t draw(uint32_t n) {
        wobble = wobble * 1103515245u + 12345u;
        return (wobble >> 16) % n;
    }
    void afterTick() {
        const int moves = least + static_cast<int>(draw(3));
        for (int i = 0; i < moves; ++i) {
            const int dx = static_cast<int>(draw(17)), dy = static_cast<int>(draw(17));
            if (bot.resting) d.move(133 + dx, 185 + dy);  // on the spear, 23 x 23 from (130, 182)
            else d.move(60 + dx, 120 + dy);
        }
    }
};

template <int least>
void playRestless(Dive& d) {
    GoodDiver bot;
    RestlessHand hand{d, bot, least};
    d.start();
    while (d.game.phase() == Phase::Dive) {
        d.runTo(d.st().DiveTick + 1);
        bot.afterTick(d.st(), hand);
        hand.afterTick();
        d.settle();
    }
    d.runOut();
}

void playReplayFile(Dive& d, const char* name) {
    std::ifstream in(std::string(TORVENKA_SOURCE_DIR) + "/tests/replays/" + name);
    Replay r;
    if (parseReplay(in, r)) std::fprintf(stderr, "divebench: %s does not read\n", name);
    playReplayIn(d, r, [](int) {});
}

void recordSize(const char* name, uint32_t seed, void (*play)(Dive&), bool (*ended)(const Dive&)) {
    Dive d(seed);
    play(d);
    const DiveRecord r = d.loop.record();
    const std::vector<uint8_t> file = writeRecord(r);
    const std::string link = linkText(file);
    // What writing it costs: the same events and steps into a recorder of its own.
    std::vector<RecordedEvent> events;
    RecordReader reader(r.body);
    for (RecordedEvent e; reader.next(e);) events.push_back(e);
    std::vector<double> ns;
    for (int round = 0; round < 21; ++round) {
        const auto t0 = std::chrono::steady_clock::now();
        DiveRecorder again(seed);
        size_t next = 0;
        for (uint32_t step = 0; step <= r.endSteps; ++step) {
            for (; next < events.size() && events[next].at.steps == step; ++next) {
                again.handling(events[next].pointer);
                again.handled(events[next].pointer.x == -1 && events[next].pointer.y == -1);
            }
            if (step < r.endSteps) again.stepped();
        }
        const auto t1 = std::chrono::steady_clock::now();
        ns.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count() / std::max<uint32_t>(1, r.endSteps));
    }
    std::sort(ns.begin(), ns.end());
    std::printf("  %-30s %5u steps (%5.1f s) %6u events: record %5zu bytes (%5zu held), file %5zu bytes, link %5zu "
                "chars; writing it %.0f ns a step (median of 21)%s\n",
                name, r.endSteps, r.endSteps * 0.031, reader.events(), r.body.size(), d.loop.recorder().bytesHeld(),
                file.size(), link.size(), ns[ns.size() / 2], ended(d) ? "" : "  !! did not end as it should");
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 100;
    if (n < 1) {
        std::fprintf(stderr, "usage: divebench [N]\n");
        return 2;
    }
    std::printf("divebench: %d dives of each kind in the headless harness, time per dive\n", n);
    for (bool draw : {false, true}) {
        bench("won, clear sequence", playWell, won, draw, n);
        bench("left alone, game over", leaveAlone, lost, draw, n);
    }
    std::printf("divebench: the dives' records (a step is 31 ms of play)\n");
    recordSize("tests/replays/win.replay", 4242, [](Dive& d) { playReplayFile(d, "win.replay"); }, won);
    recordSize("tests/replays/lose.replay", 777, [](Dive& d) { playReplayFile(d, "lose.replay"); }, lost);
    recordSize("left alone", 2718, leaveAlone, lost);
    recordSize("won, a 125 Hz mouse never resting", 4242, playRestless<3>, won);
    recordSize("won, a 1000 Hz mouse never resting", 4242, playRestless<30>, won);
    return 0;
}
