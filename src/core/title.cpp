// The title screen: the word "潜行" lights up under the pointer, and a left
// click on it starts the dive.
#include "core/game.h"

void Game::titleHover() { field_.setColor(Item::titleWord, kYellow); }

void Game::startDive() {
    state_.Diving = true;
    soundEffect(Effect::Card);
    field_.hide(Label::titleWord);
    // Let the window catch up (and repaint the now empty title) before the
    // sea comes in: the events that waited are handled here, inside the
    // click.
    host_.processMessages();
    field_.show(Item::sea);
    for (Label l : {Label::lifeCaption, Label::oxygenCaption, Label::tanksCaption, Label::lifeValue,
                    Label::oxygenValue, Label::tanksValue})
        field_.show(l);
    state_.LastTick = host_.clock();
    phase_ = Phase::Dive;
    state_.BgmNo = Music::DiveTheme;
    playMusic(state_.BgmNo);
    // Mouse events that piled up while the piece was loading are handled
    // now, before the first tick. A handler that fails here takes the music
    // with it: the channel is closed, and the error goes on out of the click.
    try {
        host_.processMessages();
    } catch (...) {
        stopMusic();
        throw;
    }
}
