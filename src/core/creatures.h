// The four creatures of a dive, and the spear, each drawn in the three lane
// colours (core/lane.h). The rules, the snapshot tool and the benchmarks all
// read this one table.
#pragma once
#include <cstdint>
#include <iterator>

#include "core/keyed.h"
#include "core/lane.h"
#include "core/playfield.h"
#include "core/state.h"

// One drawing in the three lane colours: three sprites on one spot, of which
// at most one is seen.
struct LaneSprites {
    Item white, cyan, red;
    // The sprite of a lane; no lane has no sprite, and nobody asks for one.
    constexpr Item in(Lane l) const {
        switch (l) {
            case Lane::Cyan: return cyan;
            case Lane::Red: return red;
            case Lane::White: case Lane::None: break;
        }
        return white;
    }
};

constexpr LaneSprites kSpear = {Item::spearWhite, Item::spearCyan, Item::spearRed};

struct Creature {
    CreatureKind kind;
    const char* name;     // shown in the creature panel
    LaneSprites sprites;
    int left, top;        // where its sprites stand while it is met
    int16_t life;         // its life at every spawn
    Lane spawnLane;       // None: the giant squid's lane is rolled
    int16_t strength;     // a strike's damage to it, and its contact damage to the diver
    int16_t reward;       // added to the diver's life when it is beaten
    int upLeft;           // where the "UP !!" marker stands on the life row then
};

constexpr Creature kCreatures[] = {
    {CreatureKind::Octopus, "オクトパス", {Item::octopusWhite, Item::octopusCyan, Item::octopusRed}, 88, 75, 90,
     Lane::White, 1, 120, 46},
    {CreatureKind::Crab, "クラボス", {Item::crabWhite, Item::crabCyan, Item::crabRed}, 48, 54, 400, Lane::Cyan, 2,
     600, 46},
    {CreatureKind::Moray, "グルナレイム", {Item::morayWhite, Item::morayCyan, Item::morayRed}, 20, 41, 800, Lane::Red,
     3, 2400, 51},
    {CreatureKind::GiantSquid, "大王イカ", {Item::squidWhite, Item::squidCyan, Item::squidRed}, 0, 42, 2900,
     Lane::None, 4, 10000, 56},
};

// Each row stands at its kind's place, the first kind after None (the look-up
// below relies on it).
static_assert(rowsInKeyOrder(kCreatures, &Creature::kind, CreatureKind::Octopus));

// The row of a creature; nullptr for no creature.
constexpr const Creature* creatureOf(CreatureKind k) {
    if (k == CreatureKind::None || code(k) > std::size(kCreatures)) return nullptr;
    return &kCreatures[code(k) - 1];
}
