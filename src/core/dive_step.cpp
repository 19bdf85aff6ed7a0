// One tick of the dive: the sea scrolls, the bubbles rise, the diver strikes,
// the script runs, and every second tick the diver breathes.
#include "core/game.h"

namespace {

constexpr int kSeaBottom = -3200;  // the sea's top once it has scrolled away

// The two bubbles: how many pixels each rises a tick, and the odds that a
// waiting one leaves on a tick (one in this many).
constexpr int kBubble1Rise = 3;
constexpr int kBubble2Rise = 2;
constexpr uint32_t kBubble1Odds = 50;
constexpr uint32_t kBubble2Odds = 40;
constexpr int kBubbleBurstTop = 0;            // a bubble bursts once its top reaches this
constexpr int kBubbleStartTop = 211;          // where a burst bubble waits...
constexpr uint32_t kBubbleStartSpread = 200;  // ...at a left rolled from 0 to 199

constexpr int kCurtainRise = 2;   // pixels a tick
constexpr int kUpMarkerTicks = 30;  // how long "UP !!" stays up

// From the giant squid's tick on (kGiantSquidTick), breathing without oxygen
// and a creature's contact cost more.
constexpr int kDeepBreathCost = 5;
constexpr int kDeepContactCost = 10;
constexpr int kDeepContactCostWithRing = 2;

}  // namespace

// A bubble waits until the dice let it go, rises with a little wobble, and
// bursts at the top of the window to wait again somewhere else. No new bubble
// leaves once the diver is dead or the squid is beaten.
void Game::moveBubble(Item bubble, bool& rising, int rise, uint32_t odds) {
    if (rising) {
        field_.setTop(bubble, field_.top(bubble) - rise);
        // A coin: one pixel left or one pixel right.
        field_.setLeft(bubble, field_.left(bubble) + (dice_.roll(2) == 1 ? -1 : 1));
        if (field_.top(bubble) <= kBubbleBurstTop) {
            field_.hide(bubble);
            field_.setTop(bubble, kBubbleStartTop);
            field_.setLeft(bubble, static_cast<int>(dice_.roll(kBubbleStartSpread)));
            rising = false;
        }
    } else if (!state_.Cleared) {
        if (dice_.roll(odds) == odds - 1 && state_.Life > 0) {
            rising = true;
            field_.show(bubble);
        }
    }
}

// The curtain swallows a bubble that it reaches.
void Game::hideBubblesUnderCurtain() {
    const int curtain = field_.top(Item::curtain);
    if (field_.top(Item::bubble1) >= curtain) {
        field_.hide(Item::bubble1);
        state_.Bubble1Rising = false;
    }
    if (field_.top(Item::bubble2) >= curtain) {
        field_.hide(Item::bubble2);
        state_.Bubble2Rising = false;
    }
}

void Game::raiseCurtain() {
    field_.setTop(Item::curtain, field_.top(Item::curtain) - kCurtainRise);
    hideBubblesUnderCurtain();
}

// "UP !!" on the row of a value that grew, at the given left; the tick takes
// it down again 30 ticks on.
void Game::showUpMarker(int left, Label beside) {
    field_.move(Label::upMarker, left, field_.top(Playfield::front(beside)));
    field_.show(Label::upMarker);
    state_.UpShown = true;
}

void Game::timeUpMarker() {
    if (!state_.UpShown) return;
    state_.UpTimer = static_cast<uint8_t>(state_.UpTimer + 1);
    if (state_.UpTimer > kUpMarkerTicks) {
        field_.hide(Label::upMarker);
        state_.UpTimer = 0;
        state_.UpShown = false;
    }
}

// Every second tick the diver breathes, and a creature on screen hurts.
void Game::drain() {
    // Breath: oxygen first; once it is gone the diver's life pays.
    if (state_.Oxygen > 0) {
        state_.Oxygen = add16(state_.Oxygen, -1);
    } else {
        state_.Life = add16(state_.Life, -1);
        if (state_.DiveTick >= kGiantSquidTick) state_.Life = add16(state_.Life, -kDeepBreathCost);
        if (state_.Life < 0) state_.Life = 0;
    }
    // Contact: a creature on screen hurts by its strength, whatever the lanes.
    if (state_.EnemyActive) {
        const Creature* c = creatureOf(state_.EnemyKind);
        state_.Life = add16(state_.Life, c ? -c->strength : 0);
        if (state_.DiveTick >= kGiantSquidTick)
            state_.Life = add16(state_.Life, state_.RingOn ? -kDeepContactCostWithRing : -kDeepContactCost);
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
    state_.Striking = false;
    for (Lane lane : kLanes)
        for (const Creature& c : kCreatures) field_.hide(spritesOf(c).in(lane));
    for (Label l : {Label::lifeCaption, Label::creatureLifeCaption, Label::oxygenCaption, Label::tanksCaption,
                    Label::creatureName, Label::upMarker, Label::hitMarker, Label::lifeValue,
                    Label::creatureLifeValue, Label::oxygenValue, Label::tanksValue})
        field_.hide(l);
    for (Lane lane : kLanes) field_.hide(kSpear.in(lane));
    field_.hide(Item::ring);
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
    moveBubble(Item::bubble1, state_.Bubble1Rising, kBubble1Rise, kBubble1Odds);
    moveBubble(Item::bubble2, state_.Bubble2Rising, kBubble2Rise, kBubble2Odds);
    if (state_.Life >= 1) {
        strike();
        timeUpMarker();
        if (state_.Cleared) {
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
