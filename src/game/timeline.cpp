// The script of a dive, keyed on the tick count: six rows of cards, the
// creatures' visits and lane changes, and the change of music.
#include <algorithm>
#include <array>

#include "game/form.h"

namespace {

enum class Ev : uint8_t { Deal, DealEnd, Spawn, Lane, Retreat, MorayA, MorayB, Squid, MusicOff, BossMusic };

struct Event {
    int16_t tick;
    Ev what;
    uint8_t arg;  // deal number, creature kind or lane
};

constexpr auto kScript = [] {
    std::array<Event, 62> s{};
    size_t n = 0;
    auto add = [&](int tick, Ev what, int arg) { s[n++] = {static_cast<int16_t>(tick), what, static_cast<uint8_t>(arg)}; };
    add(90, Ev::Deal, 1);
    add(160, Ev::DealEnd, 0);
    add(200, Ev::Spawn, 1);
    add(280, Ev::Lane, 2);
    add(400, Ev::Retreat, 1);
    add(430, Ev::Deal, 2);
    add(500, Ev::DealEnd, 0);
    add(580, Ev::Spawn, 1);
    add(660, Ev::Lane, 2);
    add(780, Ev::Retreat, 1);
    add(900, Ev::Deal, 3);
    add(970, Ev::DealEnd, 0);
    add(1280, Ev::Spawn, 2);
    add(1350, Ev::Lane, 1);
    add(1400, Ev::Lane, 3);
    add(1480, Ev::Lane, 1);
    add(1630, Ev::Retreat, 2);
    add(1800, Ev::Deal, 4);
    add(1850, Ev::DealEnd, 0);
    add(2130, Ev::MusicOff, 0);
    add(2160, Ev::BossMusic, 0);
    add(2230, Ev::Spawn, 3);
    add(2260, Ev::Lane, 2);
    add(2390, Ev::Lane, 3);
    add(2440, Ev::Lane, 1);
    add(2520, Ev::MorayA, 0);
    add(2630, Ev::MorayB, 0);
    add(2800, Ev::Retreat, 3);
    add(2900, Ev::Deal, 5);
    add(2950, Ev::DealEnd, 0);
    add(3120, Ev::Deal, 6);
    add(3160, Ev::DealEnd, 0);
    add(3280, Ev::Spawn, 4);
    // The giant squid shifts five times in quick succession, then every 80
    // ticks until it settles after 5350.
    for (int t = 3310; t <= 3430; t += 30) add(t, Ev::Squid, 0);
    for (int t = 3510; t <= 5350; t += 80) add(t, Ev::Squid, 0);
    return s;
}();
// Every row filled, in order of the tick (the look-up relies on it).
static_assert(kScript.back().tick == 5350 && kScript[32].tick == 3280);

const Event* find(int16_t tick) {
    const auto it = std::lower_bound(kScript.begin(), kScript.end(), tick,
                                     [](const Event& e, int16_t t) { return e.tick < t; });
    return it != kScript.end() && it->tick == tick ? &*it : nullptr;
}

}  // namespace

void TForm1::deal(int n) {
    st_.DealNo = static_cast<uint8_t>(n);
    for (Id slot : {Id::card1, Id::card2, Id::card3}) scr_.setTop(slot, 75);
    for (Id slot : {Id::card1, Id::card2, Id::card3}) {
        scr_.copyPicture(slot, Id::card);
        scr_.show(slot);
    }
}

void TForm1::dealEnd() {
    st_.DealNo = 0;
    scr_.hide(Id::card1);
    scr_.hide(Id::card2);
    scr_.hide(Id::card3);
}

void TForm1::runTimeline() {
    const Event* e = find(st_.DiveTick);
    if (!e) return;
    const bool active = st_.EnemyActive == 1;
    switch (e->what) {
        case Ev::Deal: deal(e->arg); break;
        case Ev::DealEnd: dealEnd(); break;
        case Ev::Spawn: spawn(e->arg); break;
        case Ev::Retreat: retreat(e->arg); break;
        case Ev::Lane:
            if (active) laneChange(e->arg);
            break;
        case Ev::MorayA:
            if (active) laneChange(rng_.Random(2) == 1 ? 3 : 2);
            break;
        case Ev::MorayB:
            if (active) laneChange(rng_.Random(2) == 0 ? 1 : (st_.EnemyLane == 3 ? 2 : 3));
            break;
        case Ev::Squid:
            if (active) {
                const int lane = st_.EnemyLane;
                // 0: one lane on (1 -> 2 -> 3 -> 1); 1: one lane back.
                laneChange(rng_.Random(2) == 0 ? lane % 3 + 1 : (lane + 1) % 3 + 1);
            }
            break;
        case Ev::MusicOff:
            st_.BgmNo = 0;
            StopBGM();
            break;
        case Ev::BossMusic:
            st_.BgmNo = 2;
            StopBGM();
            PlayBGM();
            break;
    }
}
