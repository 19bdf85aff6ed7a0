// Every four bytes of the input are one thing the player does between two
// ticks: a press, release or move of any button anywhere (far off the screen
// included), a flood of them, a window close, or simply waiting. The dive is
// played to its end and the game's rules are checked after every tick; a
// broken rule aborts, which libFuzzer reports with the input that did it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "headless/harness.h"
#include "headless/rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Dive d(size > 0 ? data[0] : 1);
    RuleWatch rules(d.field);
    d.start();
    for (size_t i = 1; i + 4 <= size && d.game.phase() != Phase::None && !d.loop.closed(); i += 4) {
        const uint8_t op = data[i], a = data[i + 1], b = data[i + 2], c = data[i + 3];
        // Coordinates: mostly over the window, sometimes far away.
        const int x = (c & 0x80) ? (a - 128) * 600 : a - 30;
        const int y = (c & 0x40) ? (b - 128) * 600 : b - 20;
        const Button button = static_cast<Button>(c % 3);
        switch (op % 8) {
            case 0: d.mouse(MouseKind::Down, button, x, y); break;
            case 1: d.mouse(MouseKind::Up, button, x, y); break;
            case 2: case 3: d.mouse(MouseKind::Move, button, x, y); break;
            case 4:
                for (int k = 0; k < 50; ++k) d.mouse(static_cast<MouseKind>(k % 3), button, x + k, y - k);
                break;
            case 5:
                if (op == 5) d.plat.queue.push_back(PlatformEvent{PlatformEvent::Quit, {}});
                break;
            default: break;  // let time pass
        }
        d.settle();
        if (d.game.phase() == Phase::Dive) {
            // Skip ahead now and then, so the late script is reached.
            d.runTo(d.st().DiveTick + 1 + (op >> 3) * (c & 0x20 ? 8 : 0));
        } else if (d.game.phase() != Phase::None) {
            d.loop.runOnce();
        }
        if (!rules.broken(d).empty()) std::abort();
    }
    return 0;
}
