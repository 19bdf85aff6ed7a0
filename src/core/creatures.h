// The creatures of a dive, one row each: everything the game knows of a
// creature stands in its row of kCreatures. Its three lane sprites
// (core/playfield.h, creatureSprite) and their pictures (core/pictures.h,
// creaturePicture) are made from the row, named after its base name and the
// lane's colour ("octopusCyan"); its line drawing, which is inked in the
// three lane colours, is the one thing kept elsewhere, in the screen layer
// (kCreatureDrawings in src/screen/art_creatures.cpp), and a kind without its
// drawing fails the build there.
#pragma once
#include <array>
#include <cstdint>
#include <iterator>
#include <span>

#include "core/keyed.h"
#include "core/state.h"

// A picture's size in pixels.
struct Size {
    int w, h;
};

// The tick the giant squid comes at, the last creature of the script: from
// then on the dive is deep, and breathing without oxygen and a creature's
// contact cost more.
inline constexpr int16_t kGiantSquidTick = 3280;

// What a creature does at a tick of the script (core/timeline.cpp).
enum class CueKind : uint8_t {
    Spawn,        // it comes, into its spawn lane
    Retreat,      // it leaves without reward if it is still there
    LaneChange,   // it moves to `lane`
    RedOrCyan,    // a coin: red or cyan
    WhiteOrSwap,  // a coin: white, or from cyan to red and red to cyan
    Shift,        // a coin: one lane on or one lane back
};
struct Cue {
    int16_t tick;
    CueKind what;
    Lane lane = Lane::None;  // LaneChange
};

// Where one of a creature's lane sprites waits, before the creature is first
// met, and whether it is visible there (beyond the window's right edge).
struct Waiting {
    int left, top;
    bool visible;
};
constexpr std::array<Waiting, 3> waitingAt(int left, int top) {
    return {Waiting{left, top, false}, Waiting{left, top, false}, Waiting{left, top, false}};
}

struct Creature {
    CreatureKind kind;
    const char* base;     // its sprites' and pictures' names start with it
    const char* name;     // shown in the creature panel
    Size size;            // its drawing's size in pixels
    int left, top;        // where its sprites stand while it is met
    std::array<Waiting, 3> waiting;  // white, cyan, red
    int16_t life;         // its life at every spawn
    Lane spawnLane;       // None: the giant squid's lane is rolled
    int16_t strength;     // a strike's damage to it, and its contact damage to the diver
    int16_t reward;       // added to the diver's life when it is beaten
    int upLeft;           // where the "UP !!" marker stands on the life row then
    std::span<const Cue> cues;  // its visits, in tick order
};

namespace creature_cues {

constexpr Cue spawn(int tick) { return {static_cast<int16_t>(tick), CueKind::Spawn}; }
constexpr Cue retreat(int tick) { return {static_cast<int16_t>(tick), CueKind::Retreat}; }
constexpr Cue to(int tick, Lane l) { return {static_cast<int16_t>(tick), CueKind::LaneChange, l}; }
constexpr Cue coin(int tick, CueKind k) { return {static_cast<int16_t>(tick), k}; }

inline constexpr Cue kOctopus[] = {
    spawn(200), to(280, Lane::Cyan), retreat(400),
    spawn(580), to(660, Lane::Cyan), retreat(780),
};
inline constexpr Cue kCrab[] = {
    spawn(1280), to(1350, Lane::White), to(1400, Lane::Red), to(1480, Lane::White), retreat(1630),
};
inline constexpr Cue kMoray[] = {
    spawn(2230), to(2260, Lane::Cyan), to(2390, Lane::Red), to(2440, Lane::White),
    coin(2520, CueKind::RedOrCyan), coin(2630, CueKind::WhiteOrSwap), retreat(2800),
};
// The giant squid shifts five times in quick succession, then every 80
// ticks until it settles after 5350; it never leaves.
inline constexpr auto kGiantSquid = [] {
    std::array<Cue, 1 + 5 + 24> cues{};
    size_t n = 0;
    cues[n++] = spawn(kGiantSquidTick);
    for (int t = 3310; t <= 3430; t += 30) cues[n++] = coin(t, CueKind::Shift);
    for (int t = 3510; t <= 5350; t += 80) cues[n++] = coin(t, CueKind::Shift);
    if (n != cues.size()) throw "the giant squid's cues do not fill their array";
    return cues;
}();

}  // namespace creature_cues

inline constexpr Creature kCreatures[] = {
    {CreatureKind::Octopus, "octopus", "オクトパス", {43, 49}, 88, 75, waitingAt(195, 0), 90, Lane::White, 1, 120,
     46, creature_cues::kOctopus},
    {CreatureKind::Crab, "crab", "クラボス", {106, 92}, 48, 54, waitingAt(240, 0), 400, Lane::Cyan, 2, 600, 46,
     creature_cues::kCrab},
    {CreatureKind::Moray, "moray", "グルナレイム", {173, 119}, 20, 41, waitingAt(195, 51), 800, Lane::Red, 3, 2400,
     51, creature_cues::kMoray},
    // The squid waits in view beyond the right edge, its white sprite two
    // pixels lower than the others.
    {CreatureKind::GiantSquid, "squid", "大王イカ", {200, 116}, 0, 42,
     {Waiting{195, 175, true}, Waiting{195, 173, true}, Waiting{195, 173, true}}, 2900, Lane::None, 4, 10000, 56,
     creature_cues::kGiantSquid},
};
inline constexpr int kCreatureCount = static_cast<int>(std::size(kCreatures));

// Each row stands at its kind's place, the first kind after None (the look-up
// below relies on it), and every kind has its row.
static_assert(rowsInKeyOrder(kCreatures, &Creature::kind, CreatureKind::Octopus) &&
              kCreatureCount == code(CreatureKind::Count) - 1);

// The row of a creature; nullptr for no creature.
constexpr const Creature* creatureOf(CreatureKind k) {
    if (k == CreatureKind::None || code(k) > std::size(kCreatures)) return nullptr;
    return &kCreatures[code(k) - 1];
}

// A creature's place in the catalogue, 0 for the first.
constexpr int creatureIndex(CreatureKind k) { return code(k) - 1; }

// "<base><Colour>": the name of a creature's sprite and picture in a lane.
struct LaneName {
    char text[32]{};
};
inline constexpr auto kCreatureLaneNames = [] {
    std::array<LaneName, 3 * std::size(kCreatures)> names{};
    constexpr const char* kColourWords[] = {"White", "Cyan", "Red"};
    for (size_t c = 0; c < std::size(kCreatures); ++c)
        for (size_t l = 0; l < 3; ++l) {
            char* out = names[3 * c + l].text;
            size_t n = 0;
            for (const char* p = kCreatures[c].base; *p; ++p) out[n++] = *p;
            for (const char* p = kColourWords[l]; *p; ++p) out[n++] = *p;
            if (n >= sizeof names[0].text) throw "a creature's base name is too long";
        }
    return names;
}();
constexpr const char* creatureLaneName(CreatureKind k, Lane l) {
    return kCreatureLaneNames[static_cast<size_t>(3 * creatureIndex(k) + code(l) - code(Lane::White))].text;
}
