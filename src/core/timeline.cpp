// The script of a dive, keyed on the tick count: six rows of cards, the
// creatures' visits and lane changes, and the change of music.
#include <algorithm>
#include <array>

#include "core/game.h"

namespace {

enum class What : uint8_t {
    Deal, TakeRowAway, Spawn, LaneChange, Retreat,
    MorayRedOrCyan,    // a coin: red or cyan
    MorayWhiteOrSwap,  // a coin: white, or from cyan to red and red to cyan
    SquidShift,        // a coin: one lane on or one lane back
    MusicOff, BossMusic
};

struct Event {
    int16_t tick;
    What what;
    uint8_t deal = 0;                         // Deal: the deal's number, 1 to 6
    CreatureKind kind = CreatureKind::None;  // Spawn, Retreat
    Lane lane = Lane::None;                  // LaneChange
};

// The script, row by row in tick order, handed to `put`.
template <class Put>
constexpr void writeScript(Put&& put) {
    auto deal = [&](int tick, int number) {
        put(Event{static_cast<int16_t>(tick), What::Deal, static_cast<uint8_t>(number)});
    };
    auto spawn = [&](int tick, CreatureKind k) { put(Event{static_cast<int16_t>(tick), What::Spawn, 0, k}); };
    auto retreat = [&](int tick, CreatureKind k) { put(Event{static_cast<int16_t>(tick), What::Retreat, 0, k}); };
    auto laneChange = [&](int tick, Lane l) {
        put(Event{static_cast<int16_t>(tick), What::LaneChange, 0, CreatureKind::None, l});
    };
    auto add = [&](int tick, What what) { put(Event{static_cast<int16_t>(tick), what}); };
    deal(90, 1);
    add(160, What::TakeRowAway);
    spawn(200, CreatureKind::Octopus);
    laneChange(280, Lane::Cyan);
    retreat(400, CreatureKind::Octopus);
    deal(430, 2);
    add(500, What::TakeRowAway);
    spawn(580, CreatureKind::Octopus);
    laneChange(660, Lane::Cyan);
    retreat(780, CreatureKind::Octopus);
    deal(900, 3);
    add(970, What::TakeRowAway);
    spawn(1280, CreatureKind::Crab);
    laneChange(1350, Lane::White);
    laneChange(1400, Lane::Red);
    laneChange(1480, Lane::White);
    retreat(1630, CreatureKind::Crab);
    deal(1800, 4);
    add(1850, What::TakeRowAway);
    add(2130, What::MusicOff);
    add(2160, What::BossMusic);
    spawn(2230, CreatureKind::Moray);
    laneChange(2260, Lane::Cyan);
    laneChange(2390, Lane::Red);
    laneChange(2440, Lane::White);
    add(2520, What::MorayRedOrCyan);
    add(2630, What::MorayWhiteOrSwap);
    retreat(2800, CreatureKind::Moray);
    deal(2900, 5);
    add(2950, What::TakeRowAway);
    deal(3120, 6);
    add(3160, What::TakeRowAway);
    spawn(kGiantSquidTick, CreatureKind::GiantSquid);
    // The giant squid shifts five times in quick succession, then every 80
    // ticks until it settles after 5350.
    for (int t = 3310; t <= 3430; t += 30) add(t, What::SquidShift);
    for (int t = 3510; t <= 5350; t += 80) add(t, What::SquidShift);
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
    return s;
}();
// In order of the tick (the look-up relies on it).
static_assert(std::is_sorted(kScript.begin(), kScript.end(),
                             [](const Event& a, const Event& b) { return a.tick < b.tick; }));

const Event* find(int16_t tick) {
    const auto it = std::lower_bound(kScript.begin(), kScript.end(), tick,
                                     [](const Event& e, int16_t t) { return e.tick < t; });
    return it != kScript.end() && it->tick == tick ? &*it : nullptr;
}

}  // namespace

void Game::runScript() {
    const Event* e = find(state_.DiveTick);
    if (!e) return;
    // Lane changes move only a creature that is still fighting; a beaten one
    // stays hidden and the coin is not tossed.
    const bool active = state_.EnemyActive;
    switch (e->what) {
        case What::Deal: deal(e->deal); break;
        case What::TakeRowAway: takeRowAway(); break;
        case What::Spawn: spawn(e->kind); break;
        case What::Retreat: retreat(e->kind); break;
        case What::LaneChange:
            if (active) laneChange(e->lane);
            break;
        case What::MorayRedOrCyan:
            if (active) laneChange(dice_.roll(2) == 1 ? Lane::Red : Lane::Cyan);
            break;
        case What::MorayWhiteOrSwap:
            if (active)
                laneChange(dice_.roll(2) == 0 ? Lane::White
                                              : (state_.EnemyLane == Lane::Red ? Lane::Cyan : Lane::Red));
            break;
        case What::SquidShift:
            if (active) {
                // 0: one lane on (white -> cyan -> red -> white); 1: one lane back.
                laneChange(dice_.roll(2) == 0 ? nextLane(state_.EnemyLane) : previousLane(state_.EnemyLane));
            }
            break;
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
