// After the curtain: the game-over picture, or the short clear sequence.
#include "core/game.h"
#include "core/texts.h"

namespace {

// The clear sequence, by its step count, like the dive's script.
enum class ClearWhat : uint8_t {
    MusicOff,
    Show,           // one of the clear pictures
    CaptionAndEnd,  // the caption tells the player the dive is won; nothing more runs
};

struct ClearEvent {
    int16_t step;
    ClearWhat what;
    Item picture = Item::Count;  // Show
};

constexpr ClearEvent kClearScript[] = {
    {40, ClearWhat::MusicOff},
    {90, ClearWhat::Show, Item::grilledSquid},
    {115, ClearWhat::Show, Item::biggestSquidMessage},
    {135, ClearWhat::Show, Item::tastyMessage},
    {165, ClearWhat::CaptionAndEnd},
};

}  // namespace

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
    for (const ClearEvent& e : kClearScript) {
        if (e.step != state_.EndTick) continue;
        switch (e.what) {
            case ClearWhat::MusicOff:
                state_.BgmNo = Music::None;
                stopMusic();
                break;
            case ClearWhat::Show: field_.show(e.picture); break;
            case ClearWhat::CaptionAndEnd:
                field_.setCaption(kClearCaption);
                // The last step ends here and once more below, so it sleeps
                // twice.
                endStep();
                phase_ = Phase::None;
                break;
        }
    }
    endStep();
}
