// Torvenka in a web page: the same game, loop and compositor as the
// desktop's, on a canvas, the page's pointer, its clock and WebAudio.
// main() sets everything up and returns; from then on the browser calls in:
// pointer events, the wake-ups the loop asks for, and the page being hidden
// or shown again.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <memory>
#include <vector>

#include "core/game.h"
#include "loop/scheduler.h"
#include "screen/bitmaps.h"
#include "screen/glyph_font.h"
#include "screen/glyph_table.h"
#include "screen/icon.h"
#include "sound/command_player.h"
#include "web/page.h"
#include "web/page_watch.h"
#include "web/pointer_input.h"
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
    // Each pointer event joins the platform's queue and the loop takes its
    // turns at once, as an event ends the desktop's wait at once.
    PointerInput pointers{[this](const PointerEvent& p) {
        PlatformEvent ev;
        ev.type = PlatformEvent::Pointer;
        ev.pointer = p;
        platform.queue(ev);
        watchPointer(p);
        turns.pump();
    }};
};

Page* page = nullptr;

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* e, void*) {
    if (e->hidden) page->pointers.hidden();
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

// The title's first frame is on the screen: now what it did not need (the
// sounds' files are fetched from now on too, web_audio_back_end.h).
extern "C" EMSCRIPTEN_KEEPALIVE void web_title_shown() {
    drawEveryPicture();  // so that no step of the dive waits for a picture
    setIcon();
}

extern "C" EMSCRIPTEN_KEEPALIVE void web_woken() {
    if (page) page->turns.woken();
}

extern "C" EMSCRIPTEN_KEEPALIVE void web_timer_back(double now) {
    if (page) page->turns.timerBack(now);
}

// One Pointer Events event from the page (library_torvenka.js); what the
// page should do with it (kCapturePointer and kGamesPointer bits).
extern "C" EMSCRIPTEN_KEEPALIVE int web_pointer(int kind, int type, int id, int primary, int button, int buttons,
                                                double x, double y, int onCanvas, int originX, int originY) {
    if (!page || kind < PagePointer::Down || kind > PagePointer::Cancel) return 0;
    if (type < PagePointer::Mouse || type > PagePointer::Touch) return 0;
    PagePointer p;
    p.kind = static_cast<PagePointer::Kind>(kind);
    p.type = static_cast<PagePointer::Type>(type);
    p.id = id;
    p.primary = primary != 0;
    p.button = button;
    p.buttons = static_cast<unsigned>(buttons);
    p.x = x;
    p.y = y;
    p.onCanvas = onCanvas != 0;
    p.originX = originX;
    p.originY = originY;
    return static_cast<int>(page->pointers.handle(p));
}

int main() {
    torvenka_fit_canvas(kClientW, kClientH);
    page = new Page;
    torvenka_listen_pointers(kClientW, kClientH);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, onVisibility);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onResize);
    // The first picture: the title screen.
    PlatformEvent shown;
    shown.type = PlatformEvent::Expose;
    page->platform.queue(shown);
    page->turns.pump();
    torvenka_after_first_frame();
    return 0;
}
