// The one way past the game's rules, for tests and test players that set up
// a situation the rules would take long to reach (a diver kept alive, a
// creature one blow from defeat) or that look at one duty of the game on its
// own (the sound channels). Everything else reads a dive through
// Game::view() and acts on it through pointer events and steps.
#pragma once
#include "core/game.h"

class GameTestAccess {
public:
    explicit GameTestAccess(Game& g) : g_(g) {}

    GameState& state() { return g_.state_; }
    Playfield& playfield() { return g_.field_; }
    Dice& dice() { return g_.dice_; }

    // The sound channels, one duty at a time.
    void playMusic(Music piece) { g_.playMusic(piece); }
    void stopMusic() { g_.stopMusic(); }
    void playEffect(Effect effect) { g_.playEffect(effect); }
    void stopEffect() { g_.stopEffect(); }

private:
    Game& g_;
};
