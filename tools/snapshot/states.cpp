#include "states.h"

#include <algorithm>
#include <iterator>

#include "core/creatures.h"
#include "headless/bots.h"
#include "headless/harness.h"

namespace {

// The sea at a given depth: the sea's top runs 0 .. -3200 over a dive.
void sea(Playfield& s, int top) {
    s.show(Item::sea);
    s.setTop(Item::sea, top);
}

// A text pair shown with its value; the captions keep the catalogue's text.
void showValue(Playfield& s, Label l, const std::string& text) {
    s.write(l, text);
    s.show(l);
}

void gauges(Playfield& s, int life, int oxygen, int tanks) {
    for (Label caption : {Label::lifeCaption, Label::oxygenCaption, Label::tanksCaption}) s.show(caption);
    showValue(s, Label::lifeValue, std::to_string(life));
    showValue(s, Label::oxygenValue, std::to_string(oxygen));
    showValue(s, Label::tanksValue, std::to_string(tanks));
}

// The creature panel as a spawn fills it.
void panel(Playfield& s, const Creature& c) {
    showValue(s, Label::creatureName, c.name);
    s.show(Label::creatureLifeCaption);
    showValue(s, Label::creatureLifeValue, std::to_string(c.life));
}

// The start click hides the title word; every dive state starts there.
void leaveTitle(Playfield& s) { s.hide(Label::titleWord); }

void title(Playfield&, int) {}

void dive(Playfield& s, int) {
    leaveTitle(s);
    sea(s, -640);
    gauges(s, 200, 80, 9);
    const Creature& octopus = *creatureOf(CreatureKind::Octopus);
    panel(s, octopus);
    s.move(spritesOf(octopus).cyan, octopus.left, octopus.top);
    s.show(spritesOf(octopus).cyan);
    s.show(Item::spearCyan);
    s.show(Item::ring);
    s.move(Item::bubble1, 40, 120);
    s.show(Item::bubble1);
    s.move(Item::bubble2, 120, 170);
    s.show(Item::bubble2);
}

void cards(Playfield& s, int) {
    leaveTitle(s);
    sea(s, -90);
    gauges(s, 200, 37, 9);
    for (Item c : {Item::cardSlot1, Item::cardSlot2, Item::cardSlot3}) {
        s.copyPicture(c, cardHolder(CardFace::FaceDown));
        s.show(c);
    }
}

// The sea's top when a creature first comes: it scrolls a pixel a tick, but
// the picture keeps the sea's last rows in the window.
int seaTopWhenMet(const Creature& c) {
    constexpr int kDeepest = 3200 - kClientH + 1;
    for (const Cue& cue : c.cues)
        if (cue.what == CueKind::Spawn) return -std::min<int>(cue.tick, kDeepest);
    return 0;
}

// One panel per creature and lane: a row for each creature of the table;
// columns lanes 1, 2, 3.
void creatures(Playfield& s, int v) {
    const Creature& c = kCreatures[static_cast<size_t>(v / 3)];
    leaveTitle(s);
    sea(s, seaTopWhenMet(c));
    gauges(s, 200, 80, 9);
    panel(s, c);
    for (Lane l : kLanes) {
        s.move(spritesOf(c).in(l), c.left, c.top);
        s.hide(spritesOf(c).in(l));
    }
    s.show(spritesOf(c).in(kLanes[v % 3]));
}

void gameover(Playfield& s, int) {
    leaveTitle(s);
    sea(s, -1500);
    s.setTop(Item::curtain, -1);
    s.show(Item::gameOver);
}

void clear(Playfield& s, int) {
    leaveTitle(s);
    sea(s, -3200);
    s.setTop(Item::curtain, -1);
    s.show(Item::grilledSquid);
    s.show(Item::biggestSquidMessage);
    s.show(Item::tastyMessage);
}

}  // namespace

namespace {

// Real dives, played headless by the test bots to a given tick: the screen
// is taken over item by item, so labels are measured with the real font.
void mirror(const Playfield& from, Playfield& to) {
    for (int i = 0; i < kItemCount; ++i) {
        const Item id = static_cast<Item>(i);
        const ItemState& a = from[id];
        to.setVisible(id, a.visible);
        to.move(id, a.left, a.top);
        if (a.draw == Draw::Text) {
            to.setText(id, a.text);
            to.setColor(id, a.color);
        } else if (a.picture != to[id].picture) {
            // A card slot showing one of the faces its holders keep.
            for (const CardFaceRow& f : kCardFaces)
                if (from[cardHolder(f.face)].picture == a.picture) to.copyPicture(id, cardHolder(f.face));
        }
    }
    to.setCaption(from.caption());
}

template <class Bot>
void playTo(Playfield& s, uint32_t seed, int tick, bool toTheEnd) {
    Dive d(seed);
    Bot bot;
    d.start();
    d.play(bot, d, tick);
    if (toTheEnd) d.runOut();
    mirror(d.field, s);
}

// The first row just turned, each creature in its fight, the squid's
// defeat with the curtain rising; one more panel for the end of the clear
// sequence.
constexpr int kPlayedTicks[] = {92, 240, 1330, 2300, 3330, 3700};
constexpr int kPlayedPanels = static_cast<int>(std::size(kPlayedTicks)) + 1;

void played(Playfield& s, int v) {
    if (v < kPlayedPanels - 1)
        playTo<GoodDiver>(s, 4242, kPlayedTicks[v], false);
    else
        playTo<GoodDiver>(s, 4242, 99999, true);
}

void lost(Playfield& s, int v) {
    // Dying with the curtain half way up, and the game-over picture.
    if (v == 0)
        playTo<CarelessDiver>(s, 777, 470, false);
    else
        playTo<CarelessDiver>(s, 777, 99999, true);
}

}  // namespace

const std::vector<SnapshotState>& snapshotStates() {
    static const std::vector<SnapshotState> all = {
        {"title", "the window as created: the title word on black", 1, 1, title},
        {"dive", "mid-dive: sea, gauges 200/80/9, the octopus with its panel", 1, 1, dive},
        {"cards", "a row of three face-down cards over the sea", 1, 1, cards},
        {"creatures", "every creature in every lane at its game position", 3 * kCreatureCount, 3, creatures},
        {"gameover", "the curtain up and GAME OVER", 1, 1, gameover},
        {"clear", "the curtain up and the clear pictures", 1, 1, clear},
        {"played", "a won dive played by the test bot: ticks 92, 240, 1330, 2300, 3330, 3700, the end", kPlayedPanels, 4, played},
        {"lost", "a dive left alone: dying at tick 470, then game over", 2, 2, lost},
    };
    return all;
}
