// divebench: the time one whole dive takes in the headless harness: the real
// game and message loop with a fake clock that jumps to every deadline, a
// stand-in font and a recording sound sink, so that only the game's own work
// is measured (no window, no waiting).
//
//   divebench [N]    N dives of each kind (default 100)
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

#include "core/texts.h"
#include "headless/bots.h"
#include "headless/harness.h"
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
    return 0;
}
