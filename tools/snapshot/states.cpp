#include "states.h"

#include "bots.h"
#include "harness.h"

namespace {

// The sea at a given depth: the sea's top runs 0 .. -3200 over a dive.
void sea(Screen& s, int top) {
    s.show(Id::back);
    s.setTop(Id::back, top);
}

void pair(Screen& s, Id a, Id b, const std::string& text) {
    s.setText(a, text);
    s.setText(b, text);
    s.show(a);
    s.show(b);
}

void gauges(Screen& s, int life, int oxygen, int tanks) {
    pair(s, Id::LabelHP1, Id::LabelHP2, "命：");
    pair(s, Id::LbHP1, Id::LbHP2, std::to_string(life));
    pair(s, Id::LabelOX1, Id::LabelOX2, "酸素：");
    pair(s, Id::LbOX1, Id::LbOX2, std::to_string(oxygen));
    pair(s, Id::LabelBMB1, Id::LabelBMB2, "ボンベ：");
    pair(s, Id::LbBMB1, Id::LbBMB2, std::to_string(tanks));
}

void panel(Screen& s, const char* name, int life) {
    pair(s, Id::LabelNM1, Id::LabelNM2, name);
    pair(s, Id::LabelHP3, Id::LabelHP4, "命：");
    pair(s, Id::LbHP3, Id::LbHP4, std::to_string(life));
}

// The start click hides the title word; every dive state starts there.
void leaveTitle(Screen& s) {
    s.hide(Id::Label1);
    s.hide(Id::Label2);
}

void title(Screen&, int) {}

void dive(Screen& s, int) {
    leaveTitle(s);
    sea(s, -640);
    gauges(s, 200, 80, 9);
    panel(s, "オクトパス", 90);
    s.move(Id::taco2, 88, 75);
    s.show(Id::taco2);
    s.show(Id::spear2);
    s.show(Id::ring);
    s.move(Id::awa1, 40, 120);
    s.show(Id::awa1);
    s.move(Id::awa2, 120, 170);
    s.show(Id::awa2);
}

void cards(Screen& s, int) {
    leaveTitle(s);
    sea(s, -90);
    gauges(s, 200, 37, 9);
    for (Id c : {Id::card1, Id::card2, Id::card3}) {
        s.copyPicture(c, Id::card);
        s.show(c);
    }
}

// One panel per creature and lane: rows octopus, crab, moray, giant squid;
// columns lanes 1, 2, 3.
void creatures(Screen& s, int v) {
    struct Creature {
        Id lanes[3];
        int left, top, seaTop;
        const char* name;
        int life;
    };
    static const Creature kCreatures[] = {
        {{Id::taco, Id::taco2, Id::taco3}, 88, 75, -200, "オクトパス", 90},
        {{Id::cani, Id::cani2, Id::cani3}, 48, 54, -1280, "クラボス", 400},
        {{Id::utsu, Id::utsu2, Id::utsu3}, 20, 41, -2230, "グルナレイム", 800},
        {{Id::velmo, Id::velmo2, Id::velmo3}, 0, 42, -2986, "大王イカ", 2900},
    };
    const Creature& c = kCreatures[v / 3];
    leaveTitle(s);
    sea(s, c.seaTop);
    gauges(s, 200, 80, 9);
    panel(s, c.name, c.life);
    for (Id id : c.lanes) {
        s.move(id, c.left, c.top);
        s.hide(id);
    }
    s.show(c.lanes[v % 3]);
}

void gameover(Screen& s, int) {
    leaveTitle(s);
    sea(s, -1500);
    s.setTop(Id::waku, -1);
    s.show(Id::over);
}

void clear(Screen& s, int) {
    leaveTitle(s);
    sea(s, -3200);
    s.setTop(Id::waku, -1);
    s.show(Id::ikayaki);
    s.show(Id::mes1);
    s.show(Id::mes2);
}

}  // namespace

namespace {

// Real dives, played headless by the test bots to a given tick: the screen
// is taken over item by item, so labels are measured with the real font.
void mirror(const Screen& from, Screen& to) {
    for (int i = 0; i < kItemCount; ++i) {
        const Id id = static_cast<Id>(i);
        const Item& a = from[id];
        to.setVisible(id, a.visible);
        to.move(id, a.left, a.top);
        if (a.kind == Kind::Label) {
            to.setText(id, a.text);
            to.setColor(id, a.color);
        } else if (a.pic != to[id].pic) {
            // A card slot showing one of the faces its holders keep.
            for (Id holder : {Id::card, Id::cardox, Id::cardb, Id::cardwp, Id::cardsk})
                if (from[holder].pic == a.pic) to.copyPicture(id, holder);
        }
    }
    to.setCaption(from.caption());
}

template <class Bot>
void playTo(Screen& s, uint32_t seed, int tick, bool toTheEnd) {
    Dive d(seed);
    Bot bot;
    d.start();
    d.play(bot, d, tick);
    if (toTheEnd) d.runOut();
    mirror(d.screen, s);
}

void played(Screen& s, int v) {
    // The first row just turned, each creature in its fight, the squid's
    // defeat with the curtain rising, and the end of the clear sequence.
    static const int ticks[] = {92, 240, 1330, 2300, 3330, 3700};
    if (v < 6)
        playTo<GoodDiver>(s, 4242, ticks[v], false);
    else
        playTo<GoodDiver>(s, 4242, 99999, true);
}

void lost(Screen& s, int v) {
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
        {"creatures", "every creature in every lane at its game position", 12, 3, creatures},
        {"gameover", "the curtain up and GAME OVER", 1, 1, gameover},
        {"clear", "the curtain up and the clear pictures", 1, 1, clear},
        {"played", "a won dive played by the test bot: ticks 92, 240, 1330, 2300, 3330, 3700, the end", 7, 4, played},
        {"lost", "a dive left alone: dying at tick 470, then game over", 2, 2, lost},
    };
    return all;
}
