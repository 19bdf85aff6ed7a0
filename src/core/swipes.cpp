// The diver's hand: right-button swipes use a tank (vertical) or swing the
// spear to the next colour (horizontal); resting the pointer on the spear
// strikes.
#include <cstdlib>

#include "core/game.h"

namespace {

// A release farther right or lower than this, in client pixels, is far
// outside the window and measures nothing.
constexpr int32_t kFarthestRelease = 999;

// The button of a press or release on the playfield; the middle button
// leaves the last one standing.
void takeButton(GameState& s, Button b) {
    if (b == Button::Left) s.MouseButton = SwipeButton::Left;
    if (b == Button::Right) s.MouseButton = SwipeButton::Right;
}

}  // namespace

// A press anywhere but on a card: where a swipe starts. A dead diver's hand
// does nothing at all.
void Game::swipeStart(Button b) {
    if (state_.Life <= 0) return;
    takeButton(state_, b);
    recordSwipeStart();
}

// A release anywhere on the playfield, the cards included: where a swipe ends.
void Game::swipeEnd(Button b) {
    if (state_.Life <= 0) return;
    takeButton(state_, b);
    measureSwipe();
}

// Swipes are measured on the screen, from the event's own position, whatever
// the press and the release landed on. The position comes packed as the
// system gives it, 16 bits a coordinate; each half is read back as a signed
// number, as the windowing system's own macros read it, so that a window on
// a monitor left of or above the main one (negative screen coordinates)
// measures its swipes like any other.
void Game::takePointerPosition() {
    state_.CursorPos = (static_cast<uint32_t>(event_.screenX) & 0xFFFFu) |
                       ((static_cast<uint32_t>(event_.screenY) & 0xFFFFu) << 16);
    const int32_t x = static_cast<int16_t>(static_cast<uint16_t>(state_.CursorPos & 0xFFFFu));
    const int32_t y = static_cast<int16_t>(static_cast<uint16_t>(state_.CursorPos >> 16));
    state_.PointerX = x - event_.originX;
    state_.PointerY = y - event_.originY;
}

void Game::recordSwipeStart() {
    if (!state_.Diving) return;
    takePointerPosition();
    state_.DownX = state_.PointerX;
    state_.DownY = state_.PointerY;
}

// A right-button swipe: mostly vertical (a tie counts as vertical) opens a
// tank, mostly horizontal swings the spear. Releases far outside the window
// are ignored.
void Game::measureSwipe() {
    if (!state_.Diving || state_.MouseButton != SwipeButton::Right) return;
    takePointerPosition();
    state_.UpX = state_.PointerX;
    state_.UpY = state_.PointerY;
    if (state_.UpX > kFarthestRelease || state_.UpY > kFarthestRelease) return;
    const int64_t dx = static_cast<int64_t>(state_.UpX) - state_.DownX;
    const int64_t dy = static_cast<int64_t>(state_.UpY) - state_.DownY;
    state_.SwipeDX = static_cast<int32_t>(std::llabs(dx));
    state_.SwipeDY = static_cast<int32_t>(std::llabs(dy));
    if (std::llabs(dy) >= std::llabs(dx) && dy != 0 && state_.Tanks > 0) {
        // A fresh tank: oxygen back to the top.
        soundEffect(Effect::Tank);
        state_.Oxygen = state_.OxygenMax;
        state_.Tanks = add16(state_.Tanks, -1);
        writeOxygen();
        writeTanks();
    } else if (std::llabs(dx) > std::llabs(dy) && state_.SpearLane != Lane::None) {
        soundEffect(Effect::Spear);
        const Lane lane = state_.SpearLane;
        // Right: white -> cyan -> red -> white; left the other way round.
        const Lane next = dx > 0 ? nextLane(lane) : previousLane(lane);
        field_.hide(kSpear.in(lane));
        field_.show(kSpear.in(next));
        state_.SpearLane = next;
    }
}

void Game::moveOverSpear() {
    if (state_.Striking) return;
    state_.Striking = true;
    // The next tick shows the marker again if the blow lands.
    if (state_.SpearLane != Lane::None && state_.SpearLane == state_.EnemyLane) field_.hide(Label::hitMarker);
}

// Off the spear: the strike ends; and on the title the word goes white again.
void Game::moveOverSea() {
    if (!state_.Diving) field_.setColor(Item::titleWord, kWhite);
    if (state_.Striking) {
        state_.Striking = false;
        field_.hide(Label::hitMarker);
    }
}
