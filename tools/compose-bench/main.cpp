// compose-bench: times compose() on a few screens with the game's font (its
// glyph table) and prints microseconds per repaint.
//
//   compose-bench [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/creatures.h"
#include "core/lane.h"
#include "screen/compositor.h"
#include "screen/glyph_font.h"
#include "screen/glyph_table.h"

namespace {

void pair(Playfield& s, Item a, Item b, const std::string& t) {
    s.setText(a, t);
    s.setText(b, t);
    s.show(a);
    s.show(b);
}

// A busy dive frame: sea, gauges, creature panel, a creature, cards, the
// spear, the ring, both bubbles and both markers.
void busy(Playfield& s) {
    s.hide(Item::titleWordShadow);
    s.hide(Item::titleWord);
    s.show(Item::sea);
    s.setTop(Item::sea, -1234);
    pair(s, Item::lifeCaptionShadow, Item::lifeCaption, "命：");
    pair(s, Item::lifeValue, Item::lifeValueShadow, "200");
    pair(s, Item::oxygenCaptionShadow, Item::oxygenCaption, "酸素：");
    pair(s, Item::oxygenValue, Item::oxygenValueShadow, "80");
    pair(s, Item::tanksCaptionShadow, Item::tanksCaption, "ボンベ：");
    pair(s, Item::tanksValue, Item::tanksValueShadow, "9");
    const Creature& crab = *creatureOf(CreatureKind::Crab);
    pair(s, Item::creatureNameShadow, Item::creatureName, crab.name);
    pair(s, Item::creatureLifeCaptionShadow, Item::creatureLifeCaption, "命：");
    pair(s, Item::creatureLifeValue, Item::creatureLifeValueShadow, std::to_string(crab.life));
    pair(s, Item::hitMarker, Item::hitMarkerShadow, "!!");
    pair(s, Item::upMarker, Item::upMarkerShadow, "UP !!");
    for (Item c : {Item::cardSlot1, Item::cardSlot2, Item::cardSlot3}) {
        s.copyPicture(c, cardHolder(CardFace::FaceDown));
        s.show(c);
    }
    s.move(spritesOf(crab).cyan, crab.left, crab.top);
    s.show(spritesOf(crab).cyan);
    s.show(Item::spearRed);
    s.show(Item::ring);
    s.show(Item::bubble1);
    s.show(Item::bubble2);
}

// Everything that can be in view at once, each creature lane included.
void everything(Playfield& s) {
    busy(s);
    for (const Creature& c : kCreatures)
        for (Lane l : kLanes) {
            s.move(spritesOf(c).in(l), c.left, c.top);
            s.show(spritesOf(c).in(l));
        }
    s.show(Item::spearWhite);
    s.show(Item::spearCyan);
    s.setTop(Item::curtain, 120);
    s.show(Item::gameOver);
}

void time(const char* name, const Playfield& s, TextRaster& font, int rounds) {
    std::vector<uint32_t> buf(static_cast<size_t>(kClientW) * kClientH);
    using clock = std::chrono::steady_clock;
    auto t0 = clock::now();
    compose(s, font, buf.data(), kClientW);  // first: the font rasterises
    const double first = std::chrono::duration<double, std::micro>(clock::now() - t0).count();
    double best = 1e30, total = 0;
    for (int i = 0; i < rounds; ++i) {
        t0 = clock::now();
        compose(s, font, buf.data(), kClientW);
        const double us = std::chrono::duration<double, std::micro>(clock::now() - t0).count();
        best = std::min(best, us);
        total += us;
    }
    std::printf("%-11s first %8.1f us   mean %6.1f us   best %6.1f us   (%d rounds)\n", name, first,
                total / rounds, best, rounds);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5000;
    GlyphFont font(kBakedGlyphs);
    std::printf("font: the glyph table of %s\n", kBakedGlyphs.face);
    Playfield title(font);
    time("title", title, font, rounds);
    Playfield dive(font);
    busy(dive);
    time("dive", dive, font, rounds);
    Playfield all(font);
    everything(all);
    time("everything", all, font, rounds);
    return 0;
}
