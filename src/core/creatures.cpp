// The four creatures, their visits and the fight with the spear.
#include "core/game.h"

namespace {

struct Creature {
    const char* name;
    Item sprite[3];  // lanes 1 (white), 2 (cyan), 3 (red)
    int left, top;
    int16_t life;
    uint8_t spawnLane;  // 0: the giant squid's lane is rolled
    int16_t reward;     // added to the diver's life when it is beaten
    int upLeft;         // where the "UP !!" marker stands on the life row then
};

// By kind: 1 octopus, 2 crab, 3 moray, 4 giant squid. The kind is also the
// creature's strength.
const Creature kCreatures[4] = {
    {"オクトパス", {Item::octopusWhite, Item::octopusCyan, Item::octopusRed}, 88, 75, 90, 1, 120, 46},
    {"クラボス", {Item::crabWhite, Item::crabCyan, Item::crabRed}, 48, 54, 400, 2, 600, 46},
    {"グルナレイム", {Item::morayWhite, Item::morayCyan, Item::morayRed}, 20, 41, 800, 3, 2400, 51},
    {"大王イカ", {Item::squidWhite, Item::squidCyan, Item::squidRed}, 0, 42, 2900, 0, 10000, 56},
};

const Creature* creature(int kind) { return kind >= 1 && kind <= 4 ? &kCreatures[kind - 1] : nullptr; }

constexpr Label kPanel[] = {Label::creatureName, Label::creatureLifeCaption, Label::creatureLifeValue};

}  // namespace

void Game::spawn(int kind) {
    const Creature* c = creature(kind);
    if (!c) return;
    state_.EnemyActive = 1;
    state_.EnemyKind = static_cast<uint8_t>(kind);
    if (c->spawnLane != 0) state_.EnemyLane = c->spawnLane;
    for (Item s : c->sprite) field_.move(s, c->left, c->top);
    if (c->spawnLane != 0) {
        // The other two lane sprites are hidden already.
        field_.show(c->sprite[c->spawnLane - 1]);
    } else {
        state_.EnemyLane = static_cast<uint8_t>(dice_.roll(3) + 1);
        for (int lane = 1; lane <= 3; ++lane) field_.setVisible(c->sprite[lane - 1], lane == state_.EnemyLane);
    }
    field_.write(Label::creatureName, c->name);
    state_.EnemyLife = c->life;
    writeEnemyLife();
    for (Label l : kPanel) field_.show(l);
}

// A lane change only swaps which colour is seen; nothing moves.
void Game::laneChange(int lane) {
    const Creature* c = creature(state_.EnemyKind);
    if (!c) return;
    state_.EnemyLane = static_cast<uint8_t>(lane);
    for (int l = 1; l <= 3; ++l) field_.setVisible(c->sprite[l - 1], l == lane);
}

// A creature that outlasts its time leaves without reward (and one already
// beaten only takes its panel away).
void Game::retreat(int kind) {
    state_.EnemyActive = 0;
    state_.EnemyKind = 0;
    state_.EnemyLane = 0;
    if (const Creature* c = creature(kind))
        for (Item s : c->sprite) field_.hide(s);
    field_.hide(Label::hitMarker);
    for (Label l : kPanel) field_.hide(l);
}

// While the spear shows the creature's colour and the pointer rests on it,
// the spear bites on every tick.
void Game::strike() {
    if (!(state_.Striking == 1 && state_.EnemyActive == 1 && state_.EnemyLane == state_.SpearLane)) {
        field_.hide(Label::hitMarker);
        return;
    }
    const int kind = state_.EnemyKind;
    // The spear bites by the creature's strength; the ring doubles it
    // against the giant squid.
    const int damage = kind == 4 ? (state_.RingOn == 1 ? 8 : 4) : kind;
    state_.EnemyLife = add16(state_.EnemyLife, -damage);
    field_.show(Label::hitMarker);
    writeEnemyLife();
    const Creature* c = creature(kind);
    if (state_.EnemyLife < 1 && c) {
        state_.EnemyLife = 0;
        soundEffect(2);
        if (kind == 4) state_.Diving = 0;  // beating the squid ends the swipes
        for (Item s : c->sprite) field_.hide(s);
        state_.Life = add16(state_.Life, c->reward);
        if (kind == 4) state_.Cleared = 1;  // and starts the ascent
        showUpMarker(c->upLeft, 164);       // on the life row
        state_.EnemyActive = 0;
        state_.EnemyKind = 0;
    }
    writeLife();
    writeEnemyLife();
}
