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
    uint8_t arg;  // deal number, creature kind or lane
};

constexpr auto kScript = [] {
    std::array<Event, 62> s{};
    size_t n = 0;
    auto add = [&](int tick, What what, int arg) { s[n++] = {static_cast<int16_t>(tick), what, static_cast<uint8_t>(arg)}; };
    add(90, What::Deal, 1);
    add(160, What::TakeRowAway, 0);
    add(200, What::Spawn, 1);
    add(280, What::LaneChange, 2);
    add(400, What::Retreat, 1);
    add(430, What::Deal, 2);
    add(500, What::TakeRowAway, 0);
    add(580, What::Spawn, 1);
    add(660, What::LaneChange, 2);
    add(780, What::Retreat, 1);
    add(900, What::Deal, 3);
    add(970, What::TakeRowAway, 0);
    add(1280, What::Spawn, 2);
    add(1350, What::LaneChange, 1);
    add(1400, What::LaneChange, 3);
    add(1480, What::LaneChange, 1);
    add(1630, What::Retreat, 2);
    add(1800, What::Deal, 4);
    add(1850, What::TakeRowAway, 0);
    add(2130, What::MusicOff, 0);
    add(2160, What::BossMusic, 0);
    add(2230, What::Spawn, 3);
    add(2260, What::LaneChange, 2);
    add(2390, What::LaneChange, 3);
    add(2440, What::LaneChange, 1);
    add(2520, What::MorayRedOrCyan, 0);
    add(2630, What::MorayWhiteOrSwap, 0);
    add(2800, What::Retreat, 3);
    add(2900, What::Deal, 5);
    add(2950, What::TakeRowAway, 0);
    add(3120, What::Deal, 6);
    add(3160, What::TakeRowAway, 0);
    add(3280, What::Spawn, 4);
    // The giant squid shifts five times in quick succession, then every 80
    // ticks until it settles after 5350.
    for (int t = 3310; t <= 3430; t += 30) add(t, What::SquidShift, 0);
    for (int t = 3510; t <= 5350; t += 80) add(t, What::SquidShift, 0);
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

void Game::runScript() {
    const Event* e = find(state_.DiveTick);
    if (!e) return;
    // Lane changes move only a creature that is still fighting; a beaten one
    // stays hidden and the coin is not tossed.
    const bool active = state_.EnemyActive == 1;
    switch (e->what) {
        case What::Deal: deal(e->arg); break;
        case What::TakeRowAway: takeRowAway(); break;
        case What::Spawn: spawn(e->arg); break;
        case What::Retreat: retreat(e->arg); break;
        case What::LaneChange:
            if (active) laneChange(e->arg);
            break;
        case What::MorayRedOrCyan:
            if (active) laneChange(dice_.roll(2) == 1 ? 3 : 2);
            break;
        case What::MorayWhiteOrSwap:
            if (active) laneChange(dice_.roll(2) == 0 ? 1 : (state_.EnemyLane == 3 ? 2 : 3));
            break;
        case What::SquidShift:
            if (active) {
                // 0: one lane on (1 -> 2 -> 3 -> 1); 1: one lane back.
                laneChange(dice_.roll(2) == 0 ? nextLane(state_.EnemyLane) : previousLane(state_.EnemyLane));
            }
            break;
        case What::MusicOff:
            state_.BgmNo = 0;
            stopMusic();
            break;
        case What::BossMusic:
            // Mouse events that piled up while the piece loads are handled
            // inside this tick.
            state_.BgmNo = 2;
            stopMusic();
            playMusic();
            break;
    }
}
