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
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/creatures.h"
#include "core/dice.h"
#include "core/host.h"
#include "core/lane.h"
#include "core/playfield.h"
#include "core/pointer.h"
#include "core/router.h"
#include "core/state.h"
#include "sound/commands.h"

// A read-only look at a dive. The references stay live: they follow the
// game they were taken from.
struct GameView {
    const GameState& state;
    const Playfield& playfield;
    const Dice& dice;
    const Phase& phase;
};

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

    // Everything a dive is made of, to look at and never to change: the
    // screen draws it, the tools and tests read it.
    GameView view() const { return {state_, field_, dice_, phase_}; }

    // The loop's side of the repaint: the window was uncovered and must be
    // drawn again, or a repaint has just been put on the screen.
    void markDirty() { field_.markDirty(); }
    void presented() { field_.clearDirty(); }

private:
    // Tests and test players that must set up a situation the rules would
    // take long to reach go through this one seam (headless/test_access.h).
    friend class GameTestAccess;

    void deliver(const Delivery& d);

    // The title word.
    void titleHover();
    void startDive();

    // The diver's hand.
    void swipeStart(Button b);
    void swipeEnd(Button b);
    void moveOverSea();
    void moveOverSpear();
    void turnCard(int slot, Button b);  // slot 0, 1, 2 from the left

    // The two sound channels: music on "audio1", effects on "se1". The
    // callers set BgmNo or SeNo; the two places that start a piece (the
    // start click and the boss music's tick) handle the waiting events
    // right after it themselves.
    void playMusic(Music piece);
    void stopMusic();
    void playEffect(Effect effect);
    void stopEffect();

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
    void moveBubble(Item bubble, bool& rising, int rise, uint32_t odds);
    void hideBubblesUnderCurtain();
    void raiseCurtain();
    void strike();
    void timeUpMarker();
    void drain();
    void dyingTick();
    void showUpMarker(int left, Label beside);

    // The script and its creatures.
    void runScript();
    void deal(int n);
    void takeRowAway();
    void creatureCue(CreatureKind kind, const Cue& cue);
    void spawn(CreatureKind kind);
    void laneChange(Lane lane);
    void retreat(CreatureKind kind);

    // Sets SeNo and plays that effect, cutting off the one still sounding.
    void soundEffect(Effect effect);

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

// Every sound file the game opens, named as it names them to the sound
// layer ("dat/se1.wav"), in the order a dive first needs them: a front end
// that fetches its files ahead of time asks for these, first things first.
std::vector<std::string> everySoundFile();
// The file of an effect, and of a piece of music ("" for none), as the game
// names it.
std::string effectFile(Effect effect);
std::string musicFile(Music piece);
