// One tick of the dive: the sea scrolls, the bubbles rise, the diver strikes,
// the script runs, and every second tick the diver breathes.
#include "core/game.h"

namespace {
constexpr int kSeaBottom = -3200;  // the sea's top once it has scrolled away
constexpr int kBubbleStartTop = 211;
constexpr int kDeepTick = 3280;    // from here on breathing and contact cost more
}  // namespace

// A bubble waits until the dice let it go, rises with a little wobble, and
// bursts at the top of the window to wait again somewhere else. No new bubble
// leaves once the diver is dead or the squid is beaten.
void Game::moveBubble(Item bubble, uint8_t& rising, int rise, uint32_t startRange) {
    if (rising == 1) {
        field_.setTop(bubble, field_.top(bubble) - rise);
        field_.setLeft(bubble, field_.left(bubble) + (dice_.roll(2) == 1 ? -1 : 1));
        if (field_.top(bubble) <= 0) {
            field_.hide(bubble);
            field_.setTop(bubble, kBubbleStartTop);
            field_.setLeft(bubble, static_cast<int>(dice_.roll(200)));
            rising = 0;
        }
    } else if (state_.Cleared == 0) {
        if (dice_.roll(startRange) == startRange - 1 && state_.Life > 0) {
            rising = 1;
            field_.show(bubble);
        }
    }
}

// The curtain swallows a bubble that it reaches.
void Game::hideBubblesUnderCurtain() {
    const int curtain = field_.top(Item::curtain);
    if (field_.top(Item::bubble1) >= curtain) {
        field_.hide(Item::bubble1);
        state_.Bubble1Rising = 0;
    }
    if (field_.top(Item::bubble2) >= curtain) {
        field_.hide(Item::bubble2);
        state_.Bubble2Rising = 0;
    }
}

void Game::raiseCurtain() {
    field_.setTop(Item::curtain, field_.top(Item::curtain) - 2);
    hideBubblesUnderCurtain();
}

// "UP !!" beside a value that grew; the tick takes it down again 30 ticks on.
void Game::showUpMarker(int left, int top) {
    field_.move(Label::upMarker, left, top);
    field_.show(Label::upMarker);
    state_.UpShown = 1;
}

void Game::timeUpMarker() {
    if (state_.UpShown != 1) return;
    state_.UpTimer = static_cast<uint8_t>(state_.UpTimer + 1);
    if (state_.UpTimer > 30) {
        field_.hide(Label::upMarker);
        state_.UpTimer = 0;
        state_.UpShown = 0;
    }
}

// Every second tick the diver breathes, and a creature on screen hurts.
void Game::drain() {
    // Breath: oxygen first; once it is gone the diver's life pays.
    if (state_.Oxygen > 0) {
        state_.Oxygen = add16(state_.Oxygen, -1);
    } else {
        state_.Life = add16(state_.Life, -1);
        if (state_.DiveTick >= kDeepTick) state_.Life = add16(state_.Life, -5);
        if (state_.Life < 0) state_.Life = 0;
    }
    // Contact: a creature on screen hurts whatever the lanes.
    if (state_.EnemyActive == 1) {
        state_.Life = add16(state_.Life, -state_.EnemyKind);
        if (state_.DiveTick >= kDeepTick) state_.Life = add16(state_.Life, state_.RingOn == 1 ? -2 : -10);
        if (state_.Life < 0) state_.Life = 0;
    }
    writeLife();
    writeOxygen();
    state_.HalfTick = 0;
}

// Life is gone: the playfield is cleared, and the curtain rises for the
// game-over picture. The sea, the bubbles and a row of cards stay until the
// curtain covers them.
void Game::dyingTick() {
    state_.Striking = 0;
    for (Item creature : {Item::octopusWhite, Item::crabWhite, Item::morayWhite, Item::squidWhite, Item::octopusCyan,
                          Item::crabCyan, Item::morayCyan, Item::squidCyan, Item::octopusRed, Item::crabRed,
                          Item::morayRed, Item::squidRed})
        field_.hide(creature);
    for (Label l : {Label::lifeCaption, Label::creatureLifeCaption, Label::oxygenCaption, Label::tanksCaption,
                    Label::creatureName, Label::upMarker, Label::hitMarker, Label::lifeValue,
                    Label::creatureLifeValue, Label::oxygenValue, Label::tanksValue})
        field_.hide(l);
    for (Item i : {Item::spearWhite, Item::spearCyan, Item::spearRed, Item::ring}) field_.hide(i);
    if (field_.top(Item::curtain) > 0)
        raiseCurtain();
    else
        handOver(Phase::GameOver);
}

// One tick of the dive.
void Game::diveStep() {
    state_.DiveTick = add16(state_.DiveTick, 1);
    state_.HalfTick = static_cast<uint8_t>(state_.HalfTick + 1);
    if (field_.top(Item::sea) > kSeaBottom) field_.setTop(Item::sea, field_.top(Item::sea) - 1);
    moveBubble(Item::bubble1, state_.Bubble1Rising, 3, 50);
    moveBubble(Item::bubble2, state_.Bubble2Rising, 2, 40);
    if (state_.Life >= 1) {
        strike();
        timeUpMarker();
        if (state_.Cleared == 1) {
            // The squid is beaten: the curtain rises, then the clear
            // sequence takes over (this tick still runs to its end).
            if (field_.top(Item::curtain) > 0)
                raiseCurtain();
            else
                handOver(Phase::Clear);
        }
        runScript();
        if (state_.HalfTick == 2) drain();
    } else {
        dyingTick();
    }
    endStep();
}
