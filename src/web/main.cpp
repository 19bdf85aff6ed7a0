// Torvenka in a web page: the same game, loop and compositor as the
// desktop's, on a canvas, the page's pointer, its clock and WebAudio.
// main() sets everything up and returns; from then on the browser calls in:
// pointer events, the wake-ups the loop asks for, and the page being hidden
// or shown again.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/game.h"
#include "loop/scheduler.h"
#include "record/record_format.h"
#include "screen/bitmaps.h"
#include "screen/glyph_font.h"
#include "screen/glyph_table.h"
#include "screen/icon.h"
#include "sound/command_player.h"
#include "web/page.h"
#include "web/page_watch.h"
#include "web/pointer_input.h"
#include "web/replays.h"
#include "web/turns.h"
#include "web/web_audio_back_end.h"
#include "web/web_platform.h"

namespace {

// One dive's loop and what drives and watches it: made anew for each dive
// watched again, on the seed of the dive it plays.
struct Dive {
    Dive(WebPlatform& platform, TextMeasure& font, CommandSink& sound, uint32_t seed)
        : loop{platform, font, sound, seed}, turns{loop, platform} {}
    Scheduler loop;
    std::unique_ptr<LoopObserver> watch{watchPage(loop)};  // the test build's only
    TurnDriver turns;
};

// Everything the page plays with, made once and kept for the page's life;
// the dive is the first one, or the one being watched.
struct Page {
    GlyphFont font{kBakedGlyphs};
    WebAudioBackEnd audio{everySoundFile()};
    sound::CommandPlayer sound{audio};
    WebPlatform platform{font};
    std::unique_ptr<Dive> dive;
    Replays replays;
    // Each pointer event joins the platform's queue and the loop takes its
    // turns at once, as an event ends the desktop's wait at once. A shared
    // dive waiting on the title takes the player's press as the word to
    // start; the pointer steers nothing of it.
    PointerInput pointers{[this](const PointerEvent& p) {
        if (replays.waiting()) {
            if (p.kind == MouseKind::Down) watch(*replays.start());
            return;
        }
        PlatformEvent ev;
        ev.type = PlatformEvent::Pointer;
        ev.pointer = p;
        platform.queue(ev);
        watchPointer(p);
        pump();
    }};

    explicit Page(uint32_t seed) { begin(seed); }
    void begin(uint32_t seed) {
        if (dive) {
            // A dive given up for another: its wake-up, its lit screen and
            // its history entry go with it.
            torvenka_wake_cancel();
            torvenka_diving(0);
        }
        dive.reset();  // the old game silences its channels first
        dive = std::make_unique<Dive>(platform, font, sound, seed);
        PlatformEvent shown;
        shown.type = PlatformEvent::Expose;
        platform.queue(shown);
    }
    // Plays `r` from its start, on a fresh loop of its seed.
    void watch(const DiveRecord& r) {
        begin(r.seed);
        dive->loop.playBack(r);
        replays.playing();
        pump();
    }
    void pump() {
        dive->turns.pump();
        replays.after(dive->loop);
    }
};
Page* page = nullptr;

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* e, void*) {
    if (e->hidden) page->pointers.hidden();
    torvenka_audio_pause(e->hidden);
    page->dive->turns.setPaused(e->hidden);
    page->replays.after(page->dive->loop);
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
    if (!page) return;
    page->dive->turns.woken();
    page->replays.after(page->dive->loop);
}

extern "C" EMSCRIPTEN_KEEPALIVE void web_timer_back(double now) {
    if (page) page->dive->turns.timerBack(now);
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
    if (p.type != PagePointer::Mouse) page->dive->turns.fingerAt(emscripten_get_now());
    return static_cast<int>(page->pointers.handle(p));
}

// Watching dives again (replays.h): the page's buttons and a dropped or
// picked file.
extern "C" EMSCRIPTEN_KEEPALIVE void web_watch_again() {
    if (page && page->replays.last()) page->watch(*page->replays.last());
}

extern "C" EMSCRIPTEN_KEEPALIVE void web_watch_file(const uint8_t* bytes, int size) {
    if (!page || size < 0) return;
    const RecordRead r = readRecord(bytes, static_cast<size_t>(size));
    if (!r.record) {
        page->replays.refuse(r.error);
        return;
    }
    page->begin(r.record->seed);
    page->replays.offer(*r.record);
    page->pump();
}

int main() {
    torvenka_fit_canvas(kClientW, kClientH);
    // A page opened on a shared dive's link holds it in the address's
    // fragment: its title waits for a press to play it. A link that does
    // not read is said in one line, and the page is the ordinary one.
    const RecordRead shared = sharedDive();
    page = new Page(shared.record ? shared.record->seed : pageUtcTimeOfDayMs());
    if (shared.record)
        page->replays.offer(*shared.record);
    else if (!shared.error.empty())
        page->replays.refuse(shared.error);
    torvenka_listen_pointers(kClientW, kClientH, PagePointer::Down, PagePointer::Move, PagePointer::Up,
                             PagePointer::Cancel, PagePointer::Mouse, PagePointer::Pen, PagePointer::Touch,
                             kCapturePointer, kGamesPointer);
    torvenka_listen_replays(static_cast<int>(kMostRecordFileBytes));
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, onVisibility);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onResize);
    // The first picture: the title screen.
    page->pump();
    torvenka_after_first_frame();
    return 0;
}
