// Torvenka in a web page: the same game, loop and compositor as the
// desktop's, on a canvas, the page's pointer, its clock and WebAudio.
// main() sets everything up and returns; from then on the browser calls in:
// pointer events, the wake-ups the loop asks for, and the page being hidden
// or shown again.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <memory>
#include <vector>

#include "core/game.h"
#include "loop/scheduler.h"
#include "screen/glyph_font.h"
#include "screen/glyph_table.h"
#include "screen/icon.h"
#include "sound/command_player.h"
#include "web/page.h"
#include "web/page_watch.h"
#include "web/turns.h"
#include "web/web_audio_back_end.h"
#include "web/web_platform.h"

namespace {

// Everything the page plays with, made once and kept for the page's life.
struct Page {
    GlyphFont font{kBakedGlyphs};
    WebAudioBackEnd audio{everySoundFile()};
    sound::CommandPlayer sound{audio};
    WebPlatform platform{font};
    Scheduler loop{platform, font, sound, pageUtcTimeOfDayMs()};
    std::unique_ptr<LoopObserver> watch{watchPage(loop)};  // the test build's only
    TurnDriver turns{loop, platform};
};

Page* page = nullptr;

// The pointer. The canvas takes the presses; releases and moves are heard on
// the whole document, so that a drag that leaves the game is followed as on
// the desktop: while a button pressed in the game is held, every move and
// its release reach the loop, wherever the pointer is, in game pixels that
// may lie outside the client area; the game's router then decides, as for
// the desktop, that only the left button holds on to what it pressed and
// that other events outside the client area are lost. With no button of the
// game held, only moves over the canvas count: the desktop hears no moves
// outside its window.
unsigned heldByGame = 0;  // the DOM's `buttons` bits of the presses made on the canvas

unsigned buttonBit(unsigned short button) {
    switch (button) {
        case 0: return 1;  // left
        case 1: return 4;  // middle
        case 2: return 2;  // right
        default: return 8u << (button - 3);
    }
}

Button gameButton(unsigned short button) {
    return button == 0 ? Button::Left : button == 2 ? Button::Right : Button::Middle;
}

// The event's position in game pixels, its screen position (the canvas's
// corner on the screen plus the game position, as the desktop reports it for
// a window at scale 1) and whether it lies over the canvas.
bool toGame(const EmscriptenMouseEvent& e, MouseKind kind, Button b, PointerEvent& out) {
    double r[4];
    torvenka_canvas_rect(r);
    if (r[2] <= 0 || r[3] <= 0) return false;
    const double fx = (static_cast<double>(e.clientX) - r[0]) * kClientW / r[2];
    const double fy = (static_cast<double>(e.clientY) - r[1]) * kClientH / r[3];
    const int gx = static_cast<int>(std::floor(fx));
    const int gy = static_cast<int>(std::floor(fy));
    const int originX = static_cast<int>(std::lround(static_cast<double>(e.screenX - e.clientX) + r[0]));
    const int originY = static_cast<int>(std::lround(static_cast<double>(e.screenY - e.clientY) + r[1]));
    out = {kind, b, gx, gy, originX + gx, originY + gy, originX, originY};
    return gx >= 0 && gy >= 0 && gx < kClientW && gy < kClientH;
}

void deliver(const PointerEvent& p) {
    PlatformEvent ev;
    ev.type = PlatformEvent::Pointer;
    ev.pointer = p;
    page->platform.queue(ev);
    page->turns.pump();
}

EM_BOOL onDown(int, const EmscriptenMouseEvent* e, void*) {
    // The player's gesture: the page may make sound from now on.
    torvenka_audio_unlock();
    PointerEvent p;
    if (!toGame(*e, MouseKind::Down, gameButton(e->button), p)) return EM_TRUE;
    heldByGame |= buttonBit(e->button);
    deliver(p);
    return EM_TRUE;  // no text selection, no dragging of the canvas, no autoscroll
}

EM_BOOL onUp(int, const EmscriptenMouseEvent* e, void*) {
    torvenka_audio_unlock();
    const unsigned bit = buttonBit(e->button);
    if (!(heldByGame & bit)) return EM_FALSE;  // pressed outside the game: not ours
    heldByGame &= ~bit;
    PointerEvent p;
    toGame(*e, MouseKind::Up, gameButton(e->button), p);
    deliver(p);
    return EM_TRUE;  // the game's release: the browser's back and forward buttons do not leave the page
}

EM_BOOL onMove(int, const EmscriptenMouseEvent* e, void*) {
    // A release the page never heard (the pointer was let go in another
    // window): the button is no longer held, and that release is lost.
    heldByGame &= static_cast<unsigned>(e->buttons);
    PointerEvent p;
    const bool over = toGame(*e, MouseKind::Move, Button::Left, p);
    if (heldByGame == 0 && (!over || e->buttons != 0)) return EM_FALSE;
    deliver(p);
    return EM_FALSE;
}

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* e, void*) {
    torvenka_audio_pause(e->hidden);
    page->turns.setPaused(e->hidden);
    return EM_FALSE;
}

EM_BOOL onResize(int, const EmscriptenUiEvent*, void*) {
    torvenka_fit_canvas(kClientW, kClientH);
    return EM_FALSE;
}

// The octopus the desktop shows for its window, as the page's icon.
void setIcon() {
    const RgbaImage icon = iconAt(kIconDesign);
    std::vector<uint8_t> rgba;
    rgba.reserve(icon.px.size() * 4);
    for (const uint32_t p : icon.px)
        for (const int shift : {16, 8, 0, 24}) rgba.push_back(static_cast<uint8_t>(p >> shift));
    torvenka_set_icon(rgba.data(), icon.w);
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void web_turns() {
    if (page) page->turns.pump();
}

int main() {
    torvenka_fit_canvas(kClientW, kClientH);
    setIcon();
    page = new Page;
    emscripten_set_mousedown_callback("#canvas", nullptr, EM_FALSE, onDown);
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, onUp);
    emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, onMove);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, onVisibility);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onResize);
    // The first picture: the title screen.
    PlatformEvent shown;
    shown.type = PlatformEvent::Expose;
    page->platform.queue(shown);
    page->turns.pump();
    return 0;
}
