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
//   pagecheck record FILE  a short dive played on the desktop's game and
//                          loop by a scripted hand (the start click, a card
//                          turned, the spear swung, then nothing until GAME
//                          OVER), kept in FILE as the desktop keeps its
//                          dives; prints its end and its link's text
//   pagecheck replay FILE  plays a dive's file (the page's "Save", the
//                          desktop's kept dives) on the desktop's game and
//                          loop; prints its end, or the line that says why
//                          it cannot be played (exit 1)
//   pagecheck facts [--lines]
//                          what the tests need to know of the game, from the
//                          game itself, as JSON (or as plain lines, a name
//                          and its numbers or file, for shell to read): the
//                          client area, every item's box on the title screen
//                          by name, the start click (the title word's
//                          middle), the spear's middle, the card slots'
//                          middles, the tank's and the spear's swipes (from
//                          and to, across the open sea), and the sound files by what they are
//                          (each as the game names it, and as the page
//                          fetches it), the dive's step: its gate and
//                          how far apart steps start (the gate and the
//                          step's 1 ms sleep), the phases' names as the
//                          test build's watchers give them (and their
//                          letters in the bench's step lines), the window's
//                          captions (on the title, once the dive is won),
//                          the game's colours, and the names the desktop
//                          knows the game by (its window's class)
#include <array>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/texts.h"
#include "desktop/desktop_names.h"
#include "headless/harness.h"
#include "record/record_format.h"
#include "sound/theme_render.h"
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
    // Over the title word, a click.
    void startClick() {
        const Spot at = titleClick(field());
        mouse(MouseKind::Move, Button::Left, at.x, at.y);
        mouse(MouseKind::Down, Button::Left, at.x, at.y);
        mouse(MouseKind::Up, Button::Left, at.x, at.y);
    }
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
    window.startClick();
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

// How a dive ended, as the page's watcher reports a step.
void printEnd(const Game& game) {
    const GameState& s = game.view().state;
    std::printf("tick %d\nlife %d\noxygen %d\ntanks %d\n", static_cast<int>(s.DiveTick), static_cast<int>(s.Life),
                static_cast<int>(s.Oxygen), static_cast<int>(s.Tanks));
}

int record(const char* path) {
    Window window;
    const Game& game = window.loop.game();
    const auto settle = [&] {
        while (!window.plat.queue.empty()) window.loop.runOnce();
    };
    const auto until = [&](int tick) {
        while (game.phase() == Phase::Dive && game.view().state.DiveTick < tick) window.loop.runOnce();
    };
    window.startClick();
    settle();
    until(40);
    const ItemState& card = window.field()[Item::cardSlot2];
    const int cx = card.left + card.width / 2, cy = card.top + card.height / 2;
    window.mouse(MouseKind::Move, Button::Left, cx, cy);
    window.mouse(MouseKind::Down, Button::Left, cx, cy);
    window.mouse(MouseKind::Up, Button::Left, cx, cy);
    settle();
    until(90);
    window.mouse(MouseKind::Down, Button::Right, 40, 140);
    for (int x = 60; x <= 120; x += 20) window.mouse(MouseKind::Move, Button::Right, x, 140);
    window.mouse(MouseKind::Up, Button::Right, 120, 140);
    settle();
    while (game.phase() != Phase::None) window.loop.runOnce();
    const std::vector<uint8_t> bytes = writeRecord(window.loop.record());
    FILE* f = std::fopen(path, "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "pagecheck: cannot write %s\n", path);
        return 1;
    }
    printEnd(game);
    std::printf("link %s\n", linkText(bytes).c_str());
    return 0;
}

int replay(const char* path) {
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(path, "rb")) {
        uint8_t chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(f);
    }
    const RecordRead r = readRecord(bytes);
    if (!r.record) {
        std::fprintf(stderr, "pagecheck: %s\n", r.error.c_str());
        return 1;
    }
    GlyphFont font{kBakedGlyphs};
    RecordingSink sound;
    FakePlatform plat;
    Scheduler loop{plat, font, sound, r.record->seed};
    loop.playBack(*r.record);
    loop.run();
    if (!loop.playbackProblem().empty()) {
        std::fprintf(stderr, "pagecheck: %s\n", loop.playbackProblem().c_str());
        return 1;
    }
    printEnd(loop.game());
    return 0;
}

// A text as a JSON string: every character past ASCII as \\u escapes (of
// UTF-16), so the JSON reads the same whatever a reader's locale.
std::string jsonString(const std::string& text) {
    std::string out = "\"";
    char escape[16];
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const int more = byte < 0x80 ? 0 : byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1;
        unsigned code = more == 0 ? byte : byte & (0x3Fu >> more);
        for (int k = 1; k <= more && i + k < text.size(); ++k) code = code << 6 | (text[i + k] & 0x3Fu);
        i += 1 + more;
        if (code >= 0x20 && code < 0x80 && code != '"' && code != '\\') {
            out += static_cast<char>(code);
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            std::snprintf(escape, sizeof escape, "\\u%04x\\u%04x", 0xD800 + (code >> 10), 0xDC00 + (code & 0x3FF));
        } else {
            std::snprintf(escape, sizeof escape, "\\u%04x", code);
        }
        out += escape;
    }
    return out + "\"";
}

// Numbers as a JSON array.
std::string numbers(std::initializer_list<int> values) {
    std::string out = "[";
    for (const int v : values) out += (out.size() > 1 ? ", " : "") + std::to_string(v);
    return out + "]";
}

// One more member of the facts' JSON object: "key": {"name": value, ...},
// each row's value as `value` writes it.
template <class Row, size_t N, class Value>
void jsonObject(const char* key, const Row (&rows)[N], Value value) {
    std::printf(",\n \"%s\": {", key);
    const char* comma = "";
    for (const auto& [name, v] : rows) {
        std::printf("%s\"%s\": %s", comma, name, value(v).c_str());
        comma = ", ";
    }
    std::printf("}");
}

std::pair<int, int> middle(const ItemState& it) {
    const Spot m = middleOf(it);
    return {m.x, m.y};
}

// Where the page fetches a file the game names: a theme as its render, an
// effect as it is.
std::string pageUrl(const std::string& name) {
    const std::string render = sound::renderOf(name);
    return render.empty() ? name : render;
}

int facts(bool lines) {
    Window window;
    const Playfield& field = window.field();
    const std::pair<const char*, std::pair<int, int>> points[] = {
        {"start", {titleClick(field).x, titleClick(field).y}},
        {"spear", middle(field[Item::spearWhite])},
        {"card1", middle(field[Item::cardSlot1])},
        {"card2", middle(field[Item::cardSlot2])},
        {"card3", middle(field[Item::cardSlot3])},
    };
    const std::pair<const char*, Stroke> swipes[] = {{"tank", tankSwipe(field)}, {"spear", spearSwing(field)}};
    const std::pair<const char*, std::string> sounds[] = {
        {"card", effectFile(Effect::Card)},          {"tank", effectFile(Effect::Tank)},
        {"spear", effectFile(Effect::Spear)},        {"defeat", effectFile(Effect::Defeat)},
        {"dive_theme", musicFile(Music::DiveTheme)}, {"boss_theme", musicFile(Music::BossTheme)},
    };
    // Each phase by the name of its value in the game.
    const std::pair<const char*, Phase> phases[] = {
        {"none", Phase::None}, {"dive", Phase::Dive}, {"gameOver", Phase::GameOver}, {"clear", Phase::Clear}};
    const std::pair<const char*, std::string> captions[] = {{"title", field.caption()}, {"clear", kClearCaption}};
    const std::pair<const char*, uint32_t> colours[] = {
        {"white", kWhite}, {"yellow", kYellow}, {"cyan", kCyan}, {"red", kRed}, {"black", kBlack}};
    const std::pair<const char*, const char*> names[] = {{"game", kGameName}, {"window_class", kWindowClass}};
    const auto rgb = [](uint32_t c) { return std::array<int, 3>{int(c >> 16 & 0xFF), int(c >> 8 & 0xFF), int(c & 0xFF)}; };
    if (lines) {
        std::printf("CLIENT_W %d\nCLIENT_H %d\n", kClientW, kClientH);
        for (const ItemState& it : field.items())
            std::printf("BOX_%s %d %d %d %d\n", it.name, it.left, it.top, it.width, it.height);
        for (const auto& [name, p] : points) std::printf("AT_%s %d %d\n", name, p.first, p.second);
        for (const auto& [name, s] : swipes)
            std::printf("SWIPE_%s %d %d %d %d\n", name, s.from.x, s.from.y, s.to.x, s.to.y);
        for (const auto& [name, file] : sounds) std::printf("SOUND_%s %s\n", name, file.c_str());
        std::printf("STEP_GATE %d\nSTEP_APART %d\n", gateOf(Phase::Dive), stepApartMs(Phase::Dive));
        for (const auto& [name, p] : phases) std::printf("PHASE_%s %s\n", name, phaseName(p));
        for (const auto& [name, p] : phases) std::printf("PHASE_LETTER_%s %s\n", name, phaseLetter(p));
        for (const auto& [name, text] : captions) std::printf("CAPTION_%s %s\n", name, text.c_str());
        for (const auto& [name, c] : colours) std::printf("COLOUR_%s %d %d %d\n", name, rgb(c)[0], rgb(c)[1], rgb(c)[2]);
        for (const auto& [name, text] : names) std::printf("NAME_%s %s\n", name, text);
        return 0;
    }
    std::printf("{\"client\": [%d, %d],\n \"boxes\": {", kClientW, kClientH);
    const char* comma = "";
    for (const ItemState& it : field.items()) {
        std::printf("%s\n  \"%s\": [%d, %d, %d, %d]", comma, it.name, it.left, it.top, it.width, it.height);
        comma = ",";
    }
    std::printf("}");
    jsonObject("at", points, [](std::pair<int, int> p) { return numbers({p.first, p.second}); });
    jsonObject("swipes", swipes, [](const Stroke& s) { return numbers({s.from.x, s.from.y, s.to.x, s.to.y}); });
    jsonObject("sounds", sounds, [](const std::string& file) { return jsonString(file); });
    jsonObject("urls", sounds, [](const std::string& file) { return jsonString(pageUrl(file)); });
    std::printf(",\n \"step\": {\"gate\": %d, \"apart\": %d}", gateOf(Phase::Dive), stepApartMs(Phase::Dive));
    jsonObject("phases", phases, [](Phase p) { return jsonString(phaseName(p)); });
    jsonObject("phase_letters", phases, [](Phase p) { return jsonString(phaseLetter(p)); });
    jsonObject("captions", captions, jsonString);
    jsonObject("colours", colours, [&](uint32_t c) { return numbers({rgb(c)[0], rgb(c)[1], rgb(c)[2]}); });
    jsonObject("names", names, [](const char* text) { return jsonString(text); });
    std::printf("}\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "facts") == 0 && argc <= 3)
        return facts(argc == 3 && std::strcmp(argv[2], "--lines") == 0);
    if (argc == 3 && std::strcmp(argv[1], "title") == 0) return title(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "left-alone") == 0) return leftAlone();
    if (argc == 3 && std::strcmp(argv[1], "record") == 0) return record(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "replay") == 0) return replay(argv[2]);
    std::fprintf(stderr, "usage: pagecheck title FILE | pagecheck left-alone | pagecheck record FILE | pagecheck replay FILE | "
                         "pagecheck facts [--lines]\n");
    return 2;
}
