// After the curtain: the game-over picture, or the short clear sequence.
#include "core/game.h"

// Half a second after the curtain is up, the words GAME OVER; then nothing
// more runs until the window is closed. The music that was playing plays on.
void Game::gameOverStep() {
    field_.show(Item::gameOver);
    endStep();
    phase_ = Phase::None;
}

// About ten seconds: the music stops, the grilled squid and its two messages
// come one after the other, and the caption tells the player the dive is won.
void Game::clearStep() {
    state_.EndTick = add16(state_.EndTick, 1);
    switch (state_.EndTick) {
        case 40:
            state_.BgmNo = 0;
            stopMusic();
            break;
        case 90: field_.show(Item::grilledSquid); break;
        case 115: field_.show(Item::biggestSquidMessage); break;
        case 135: field_.show(Item::tastyMessage); break;
        case 165:
            field_.setCaption("☆☆ クリア ☆☆");
            endStep();
            phase_ = Phase::None;
            break;
        default: break;
    }
    endStep();
}
