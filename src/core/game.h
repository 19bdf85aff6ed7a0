// The game: one dive, from the title to its ending. It owns everything a dive
// is made of (the state record, the playfield, the dice and the phase) and
// changes it only through the rules below. The loop, the headless harness,
// the tools and the tests all drive it the same way: pointer events in
// through pointer(), time through step().
//
// The rules live in one file each: title.cpp, dive_step.cpp, timeline.cpp,
// creatures.cpp, swipes.cpp, cards.cpp, endings.cpp and game_sound.cpp.
#pragma once
#include <cstdint>

#include "core/clock.h"
#include "core/dice.h"
#include "core/host.h"
#include "core/playfield.h"
#include "core/pointer.h"
#include "core/router.h"
#include "core/state.h"
#include "sound/commands.h"

class Game {
public:
    // The window's creation: seeds the dice and writes the start values into
    // the gauges. Nothing moves until the start click.
    Game(TextMeasure& font, CommandSink& sound, Host& host, uint32_t seed);
    // The window's destruction: both sound channels fall silent.
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // A pointer event: routed to the item under the pointer (or the one the
    // left button holds) and handed to the rules that item is bound to.
    void pointer(const PointerEvent& e);
    // One step of the current phase, if its gate has passed since the end of
    // the previous step; true if a step ran.
    bool step();
    bool gateOpen() const;
    // When the current phase's gate opens (meaningless with no phase).
    int32_t gateOpensAt() const { return laterMs(state_.LastTick, gateOf(phase_)); }
    Phase phase() const { return phase_; }

    // The title word.
    void titleHover();
    void startDive();

    // The diver's hand.
    void swipeStart(Button b);
    void swipeEnd(Button b);
    void moveOverSea();
    void moveOverSpear();
    void turnCard(int slot, Button b);  // slot 0, 1, 2 from the left

    // The two sound channels: the piece in BgmNo, the effect in SeNo.
    void playMusic();
    void stopMusic();
    void playEffect();
    void stopEffect();

    GameState& state() { return state_; }
    const GameState& state() const { return state_; }
    Playfield& playfield() { return field_; }
    const Playfield& playfield() const { return field_; }
    const Dice& dice() const { return dice_; }

private:
    void deliver(const Delivery& d);

    // Swipes.
    void recordSwipeStart();
    void measureSwipe();
    void takePointerPosition();

    // The steps of the three phases.
    void diveStep();
    void gameOverStep();
    void clearStep();
    void endStep();
    void handOver(Phase next);

    // Inside a dive step.
    void moveBubble(Item bubble, uint8_t& rising, int rise, uint32_t startRange);
    void hideBubblesUnderCurtain();
    void raiseCurtain();
    void strike();
    void timeUpMarker();
    void drain();
    void dyingTick();
    void showUpMarker(int left, int top);

    // The script and its creatures.
    void runScript();
    void deal(int n);
    void takeRowAway();
    void spawn(int kind);
    void laneChange(int lane);
    void retreat(int kind);

    // Sets SeNo and plays that effect, cutting off the one still sounding.
    void soundEffect(uint8_t n);

    void writeLife() { field_.write(Label::lifeValue, state_.Life); }
    void writeOxygen() { field_.write(Label::oxygenValue, state_.Oxygen); }
    void writeTanks() { field_.write(Label::tanksValue, state_.Tanks); }
    void writeEnemyLife() { field_.write(Label::creatureLifeValue, state_.EnemyLife); }

    GameState state_;
    Playfield field_;
    Dice dice_;
    Phase phase_ = Phase::None;
    CommandSink& sound_;
    Host& host_;
    Router router_;
    PointerEvent event_;  // the pointer event being handled
};

// The lanes in their colour order: white 1, cyan 2, red 3, round again.
inline int nextLane(int lane) { return lane % 3 + 1; }
inline int previousLane(int lane) { return (lane + 1) % 3 + 1; }
