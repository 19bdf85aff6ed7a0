#include "web/pointer_input.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr unsigned kLeftBit = 1;  // the DOM's `buttons` bit of the left button

// The DOM's `buttons` bit of a `button` number.
unsigned bitOf(int button) {
    switch (button) {
        case 0: return kLeftBit;
        case 1: return 4;  // middle
        case 2: return 2;  // right
        default: return button >= 3 && button < 16 ? 8u << (button - 3) : 0;
    }
}

Button gameButton(int button) { return button == 0 ? Button::Left : button == 2 ? Button::Right : Button::Middle; }

bool inClient(int x, int y) { return x >= 0 && y >= 0 && x < kClientW && y < kClientH; }

}  // namespace

bool PointerInput::handle(const PagePointer& p) {
    if (p.touch) {
        finger(p);
        return false;  // a finger is followed without capture: touches stay with their target
    }
    return mouse(p);
}

void PointerInput::send(MouseKind kind, Button b, int x, int y, int32_t originX, int32_t originY) {
    deliver_(PointerEvent{kind, b, x, y, originX + x, originY + y, originX, originY});
}

bool PointerInput::mouse(const PagePointer& p) {
    int x = static_cast<int>(std::floor(p.x));
    int y = static_cast<int>(std::floor(p.y));
    if (p.onCanvas && p.kind == PagePointer::Down) {
        // A press on the canvas is on the game, even on the sliver of its
        // edge that rounding puts a hair outside.
        x = std::clamp(x, 0, kClientW - 1);
        y = std::clamp(y, 0, kClientH - 1);
    }
    const unsigned bit = p.button >= 0 ? bitOf(p.button) : 0;
    // A move changes a button (a chord) only when that button's state
    // changed: WebKit names the left button in plain moves of a drag.
    const bool chord = p.kind == PagePointer::Move && bit && ((p.buttons ^ known_) & bit);
    known_ = p.buttons;
    bool capture = false;

    // A held left button the page never heard let go of: the game gets its
    // release where the pointer was last seen, before anything else.
    const bool leftsOwnRelease = (p.kind == PagePointer::Up || chord) && bit == kLeftBit;
    if ((held_ & kLeftBit) && ((!(p.buttons & kLeftBit) && !leftsOwnRelease) || p.kind == PagePointer::Cancel ||
                               (p.kind == PagePointer::Down && bit == kLeftBit))) {
        held_ &= ~kLeftBit;
        send(MouseKind::Up, Button::Left, lastX_, lastY_, lastOriginX_, lastOriginY_);
    }
    // Other buttons released unheard are forgotten: their releases outside
    // the game would have been lost anyway. (The button this event changes
    // is dealt with below.)
    if (p.kind == PagePointer::Move) held_ &= p.buttons | (chord ? bit : 0);

    switch (p.kind) {
        case PagePointer::Down:
            if (!p.onCanvas || !bit) break;  // pressed outside the game: not ours
            held_ |= bit;
            send(MouseKind::Down, gameButton(p.button), x, y, p.originX, p.originY);
            capture = true;
            break;
        case PagePointer::Up:
            if (!(held_ & bit)) break;  // pressed outside the game: not ours
            held_ &= ~bit;
            send(MouseKind::Up, gameButton(p.button), x, y, p.originX, p.originY);
            break;
        case PagePointer::Move:
            if (chord) {
                // Another button pressed or let go while one is held (a
                // chord): heard wherever the pointer is while the game holds
                // a button, and over the game otherwise.
                if (p.buttons & bit) {
                    if (held_ || inClient(x, y)) {
                        capture = held_ == 0;
                        held_ |= bit;
                        send(MouseKind::Down, gameButton(p.button), x, y, p.originX, p.originY);
                    }
                } else if (held_ & bit) {
                    held_ &= ~bit;
                    send(MouseKind::Up, gameButton(p.button), x, y, p.originX, p.originY);
                }
            } else if (held_ || (inClient(x, y) && p.buttons == 0)) {
                // With no button of the game held, only moves over the game
                // count, as the desktop hears no moves outside its window.
                send(MouseKind::Move, Button::Left, x, y, p.originX, p.originY);
            }
            break;
        case PagePointer::Cancel:
            held_ = 0;
            break;
    }
    lastX_ = x;
    lastY_ = y;
    lastOriginX_ = p.originX;
    lastOriginY_ = p.originY;
    return capture;
}

void PointerInput::finger(const PagePointer& p) {
    if (fingerDown_ ? p.id != fingerId_ : p.kind != PagePointer::Down) return;  // not the pointer's finger
    // A finger that strays past the canvas's edge is held at the edge: on a
    // phone the game fills the screen, and a flick that overshoots it is
    // still the player's swipe.
    const int x = std::clamp(static_cast<int>(std::floor(p.x)), 0, kClientW - 1);
    const int y = std::clamp(static_cast<int>(std::floor(p.y)), 0, kClientH - 1);
    switch (p.kind) {
        case PagePointer::Down:
            if (!p.onCanvas) return;
            fingerDown_ = true;
            fingerId_ = p.id;
            swiping_ = false;
            downX_ = x;
            downY_ = y;
            downFx_ = p.x;
            downFy_ = p.y;
            downOriginX_ = p.originX;
            downOriginY_ = p.originY;
            send(MouseKind::Move, Button::Left, x, y, p.originX, p.originY);
            break;
        case PagePointer::Move:
            if (!swiping_ && std::hypot(p.x - downFx_, p.y - downFy_) > kTapSlop) {
                // Too far for a tap: a right-button swipe from where the
                // finger came down.
                swiping_ = true;
                send(MouseKind::Down, Button::Right, downX_, downY_, downOriginX_, downOriginY_);
            }
            send(MouseKind::Move, Button::Left, x, y, p.originX, p.originY);
            break;
        case PagePointer::Up:
            fingerDown_ = false;
            if (!swiping_ && std::hypot(p.x - downFx_, p.y - downFy_) > kTapSlop) {
                swiping_ = true;
                send(MouseKind::Down, Button::Right, downX_, downY_, downOriginX_, downOriginY_);
            }
            if (swiping_) {
                send(MouseKind::Up, Button::Right, x, y, p.originX, p.originY);
            } else {
                send(MouseKind::Down, Button::Left, x, y, p.originX, p.originY);
                send(MouseKind::Up, Button::Left, x, y, p.originX, p.originY);
            }
            break;
        case PagePointer::Cancel:
            // The system took the touch: no click and no swipe. A swipe
            // already begun is never released, and a right press on its own
            // changes nothing.
            fingerDown_ = false;
            swiping_ = false;
            break;
    }
}
