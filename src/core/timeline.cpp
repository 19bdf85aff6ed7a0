// The script of a dive, keyed on the tick count: six rows of cards, the
// change of music, and the creatures' visits and lane changes, which each
// creature's row holds (core/creatures.h).
#include <algorithm>
#include <array>
#include <utility>

#include "core/game.h"

namespace {

enum class What : uint8_t {
    Deal, TakeRowAway, MusicOff, BossMusic,
    Creature,  // a creature's cue (core/creatures.h)
};

struct Event {
    int16_t tick;
    What what;
    uint8_t deal = 0;                         // Deal: the deal's number, 1 to 6
    CreatureKind kind = CreatureKind::None;  // Creature: whose cue
    Cue cue{};                               // Creature: the cue
};

// The script's own rows: the deals and the music, in tick order, handed to
// `put`; the creatures' cues come from their rows.
template <class Put>
constexpr void writeScript(Put&& put) {
    auto deal = [&](int tick, int number) {
        put(Event{static_cast<int16_t>(tick), What::Deal, static_cast<uint8_t>(number)});
    };
    auto add = [&](int tick, What what) { put(Event{static_cast<int16_t>(tick), what}); };
    deal(90, 1);
    add(160, What::TakeRowAway);
    deal(430, 2);
    add(500, What::TakeRowAway);
    deal(900, 3);
    add(970, What::TakeRowAway);
    deal(1800, 4);
    add(1850, What::TakeRowAway);
    add(2130, What::MusicOff);
    add(2160, What::BossMusic);
    deal(2900, 5);
    add(2950, What::TakeRowAway);
    deal(3120, 6);
    add(3160, What::TakeRowAway);
    for (const Creature& c : kCreatures)
        for (const Cue& cue : c.cues) put(Event{cue.tick, What::Creature, 0, c.kind, cue});
}

constexpr size_t kScriptRows = [] {
    size_t n = 0;
    writeScript([&](const Event&) { ++n; });
    return n;
}();

constexpr auto kScript = [] {
    std::array<Event, kScriptRows> s{};
    size_t n = 0;
    writeScript([&](const Event& e) { s[n++] = e; });
    // In order of the tick (the look-up relies on it).
    for (size_t i = 1; i < s.size(); ++i)
        for (size_t j = i; j > 0 && s[j].tick < s[j - 1].tick; --j) std::swap(s[j], s[j - 1]);
    return s;
}();
// One event a tick: a second one at a tick would never run.
static_assert(std::adjacent_find(kScript.begin(), kScript.end(),
                                 [](const Event& a, const Event& b) { return a.tick >= b.tick; }) == kScript.end());

const Event* find(int16_t tick) {
    const auto it = std::lower_bound(kScript.begin(), kScript.end(), tick,
                                     [](const Event& e, int16_t t) { return e.tick < t; });
    return it != kScript.end() && it->tick == tick ? &*it : nullptr;
}

}  // namespace

// A creature's cue. Lane changes move only a creature that is still
// fighting; a beaten one stays hidden and the coin is not tossed.
void Game::creatureCue(CreatureKind kind, const Cue& cue) {
    const bool active = state_.EnemyActive;
    switch (cue.what) {
        case CueKind::Spawn: spawn(kind); break;
        case CueKind::Retreat: retreat(kind); break;
        case CueKind::LaneChange:
            if (active) laneChange(cue.lane);
            break;
        case CueKind::RedOrCyan:
            if (active) laneChange(dice_.roll(2) == 1 ? Lane::Red : Lane::Cyan);
            break;
        case CueKind::WhiteOrSwap:
            if (active)
                laneChange(dice_.roll(2) == 0 ? Lane::White
                                              : (state_.EnemyLane == Lane::Red ? Lane::Cyan : Lane::Red));
            break;
        case CueKind::Shift:
            if (active) {
                // 0: one lane on (white -> cyan -> red -> white); 1: one lane back.
                laneChange(dice_.roll(2) == 0 ? nextLane(state_.EnemyLane) : previousLane(state_.EnemyLane));
            }
            break;
    }
}

void Game::runScript() {
    const Event* e = find(state_.DiveTick);
    if (!e) return;
    switch (e->what) {
        case What::Deal: deal(e->deal); break;
        case What::TakeRowAway: takeRowAway(); break;
        case What::Creature: creatureCue(e->kind, e->cue); break;
        case What::MusicOff:
            state_.BgmNo = Music::None;
            stopMusic();
            break;
        case What::BossMusic:
            state_.BgmNo = Music::BossTheme;
            stopMusic();
            playMusic(state_.BgmNo);
            // Mouse events that piled up while the piece was loading are
            // handled now, in the middle of this tick. A handler that fails
            // here takes the music with it: the channel is closed, and the
            // error goes on out of the step.
            try {
                host_.processMessages();
            } catch (...) {
                stopMusic();
                throw;
            }
            break;
    }
}
