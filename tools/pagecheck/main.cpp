// pagecheck: what the web page must show, worked out by the desktop's own
// code (the game, the loop and the compositor, on the harness's fake clock,
// with the game's font drawn from the glyph table, pixel for pixel the
// desktop's), for the browser tests to hold the page to.
//
//   pagecheck title FILE   the title screen as the compositor draws it, as a
//                          binary PPM
//   pagecheck left-alone   a dive left alone from the start click: the last
//                          dive tick, and the milliseconds on the game's
//                          clock from the click to the GAME OVER picture
#include <cstdio>
#include <cstring>
#include <vector>

#include "headless/harness.h"
#include "screen/compositor.h"
#include "screen/glyph_font.h"
#include "screen/glyph_table.h"

namespace {

// The game in a window of the fake platform, with the game's own font.
struct Window {
    GlyphFont font{kBakedGlyphs};
    RecordingSink sound;
    FakePlatform plat;
    Scheduler loop{plat, font, sound, 12345};

    void mouse(MouseKind k, Button b, int x, int y) {
        PlatformEvent ev;
        ev.type = PlatformEvent::Pointer;
        ev.pointer = {k, b, x, y, kOriginX + x, kOriginY + y, kOriginX, kOriginY};
        plat.queue.push_back(ev);
    }
    const Playfield& field() const { return loop.game().view().playfield; }
};

int title(const char* path) {
    Window window;
    std::vector<uint32_t> px(static_cast<size_t>(kClientW) * kClientH);
    compose(window.field(), window.font, px.data(), kClientW);
    FILE* f = std::fopen(path, "wb");
    if (!f) {
        std::fprintf(stderr, "pagecheck: cannot write %s\n", path);
        return 1;
    }
    std::fprintf(f, "P6\n%d %d\n255\n", kClientW, kClientH);
    for (const uint32_t p : px) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                      static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, f);
    }
    return std::fclose(f) == 0 ? 0 : 1;
}

int leftAlone() {
    Window window;
    const Game& game = window.loop.game();
    // Over the title word, a click, and nothing more.
    window.mouse(MouseKind::Move, Button::Left, 90, 100);
    window.mouse(MouseKind::Down, Button::Left, 90, 100);
    window.mouse(MouseKind::Up, Button::Left, 90, 100);
    while (!window.plat.queue.empty()) window.loop.runOnce();
    const int32_t clicked = window.plat.now;
    while (game.phase() != Phase::None) window.loop.runOnce();
    if (!window.field().visible(Item::gameOver)) {
        std::fprintf(stderr, "pagecheck: the dive left alone did not end in GAME OVER\n");
        return 1;
    }
    std::printf("last_dive_tick %d\ngame_over_ms %d\n", static_cast<int>(game.view().state.DiveTick),
                elapsedMs(window.plat.now, clicked));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "title") == 0) return title(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "left-alone") == 0) return leftAlone();
    std::fprintf(stderr, "usage: pagecheck title FILE | pagecheck left-alone\n");
    return 2;
}
