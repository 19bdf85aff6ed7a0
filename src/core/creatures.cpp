// The creatures' visits and the fight with the spear. What each creature is
// stands in core/creatures.h.
#include "core/game.h"

namespace {

constexpr Label kPanel[] = {Label::creatureName, Label::creatureLifeCaption, Label::creatureLifeValue};

}  // namespace

void Game::spawn(CreatureKind kind) {
    const Creature* c = creatureOf(kind);
    if (!c) return;
    state_.EnemyActive = true;
    state_.EnemyKind = kind;
    for (Lane l : kLanes) field_.move(spritesOf(*c).in(l), c->left, c->top);
    if (c->spawnLane != Lane::None) {
        state_.EnemyLane = c->spawnLane;
        // The other two lane sprites are hidden already.
        field_.show(spritesOf(*c).in(c->spawnLane));
    } else {
        state_.EnemyLane = static_cast<Lane>(dice_.roll(3) + 1);
        for (Lane l : kLanes) field_.setVisible(spritesOf(*c).in(l), l == state_.EnemyLane);
    }
    field_.write(Label::creatureName, c->name);
    state_.EnemyLife = c->life;
    writeEnemyLife();
    for (Label l : kPanel) field_.show(l);
}

// A lane change only swaps which colour is seen; nothing moves.
void Game::laneChange(Lane lane) {
    const Creature* c = creatureOf(state_.EnemyKind);
    if (!c) return;
    state_.EnemyLane = lane;
    for (Lane l : kLanes) field_.setVisible(spritesOf(*c).in(l), l == lane);
}

// A creature that outlasts its time leaves without reward (and one already
// beaten only takes its panel away).
void Game::retreat(CreatureKind kind) {
    state_.EnemyActive = false;
    state_.EnemyKind = CreatureKind::None;
    state_.EnemyLane = Lane::None;
    if (const Creature* c = creatureOf(kind))
        for (Lane l : kLanes) field_.hide(spritesOf(*c).in(l));
    field_.hide(Label::hitMarker);
    for (Label l : kPanel) field_.hide(l);
}

// While the spear shows the creature's colour and the pointer rests on it,
// the spear bites on every tick.
void Game::strike() {
    if (!(state_.Striking && state_.EnemyActive && state_.EnemyLane == state_.SpearLane)) {
        field_.hide(Label::hitMarker);
        return;
    }
    const Creature* c = creatureOf(state_.EnemyKind);
    // The spear bites by the creature's strength; the ring doubles it
    // against the giant squid.
    const bool ringBites = state_.RingOn && state_.EnemyKind == CreatureKind::GiantSquid;
    const int damage = c ? c->strength * (ringBites ? 2 : 1) : 0;
    state_.EnemyLife = add16(state_.EnemyLife, -damage);
    field_.show(Label::hitMarker);
    writeEnemyLife();
    if (state_.EnemyLife < 1 && c) {
        const bool squid = c->kind == CreatureKind::GiantSquid;
        state_.EnemyLife = 0;
        soundEffect(Effect::Defeat);
        if (squid) state_.Diving = false;  // beating the squid ends the swipes
        for (Lane l : kLanes) field_.hide(spritesOf(*c).in(l));
        state_.Life = add16(state_.Life, c->reward);
        if (squid) state_.Cleared = true;  // and starts the ascent
        showUpMarker(c->upLeft, Label::lifeValue);
        state_.EnemyActive = false;
        state_.EnemyKind = CreatureKind::None;
    }
    writeLife();
    writeEnemyLife();
}
