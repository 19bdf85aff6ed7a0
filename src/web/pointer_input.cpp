#include "web/pointer_input.h"

#include <algorithm>
#include <cmath>

namespace {

// The DOM's `buttons` bits of the left button (a finger's or a pen's
// contact too) and of the right button (a pen's barrel button).
constexpr unsigned kLeftBit = 1;
constexpr unsigned kRightBit = 2;
constexpr unsigned kEveryButton = 0xFFFFu;

// The DOM's `buttons` bit of a `button` number.
unsigned bitOf(int button) {
    switch (button) {
        case 0: return kLeftBit;
        case 1: return 4;  // middle
        case 2: return kRightBit;
        default: return button >= 3 && button < 16 ? 8u << (button - 3) : 0;
    }
}

Button gameButton(int button) { return button == 0 ? Button::Left : button == 2 ? Button::Right : Button::Middle; }
Button gameButtonOfBit(unsigned bit) {
    return bit == kLeftBit ? Button::Left : bit == kRightBit ? Button::Right : Button::Middle;
}

// The button an event changes, against the `buttons` last seen of its
// pointer. A move changes a button (a chord) only when that button's state
// changed: WebKit names the left button in plain moves of a drag.
struct ButtonChange {
    unsigned bit = 0;       // of the button the event names, 0 for none
    bool chord = false;     // a move that presses or lets go a button
    bool releases = false;  // the event lets go of `bit`
};
ButtonChange changeOf(const PagePointer& p, unsigned known) {
    ButtonChange c;
    c.bit = p.button >= 0 ? bitOf(p.button) : 0;
    c.chord = p.kind == PagePointer::Move && c.bit && ((p.buttons ^ known) & c.bit);
    c.releases = (p.kind == PagePointer::Up || c.chord) && !(p.buttons & c.bit);
    return c;
}

bool inClient(int x, int y) { return x >= 0 && y >= 0 && x < kClientW && y < kClientH; }

// A finger (or a pen's tip) that strays past the canvas's edge is held at
// the edge: on a phone the game fills the screen, and a flick that
// overshoots it is still the player's swipe.
int edgeX(double x) { return std::clamp(static_cast<int>(std::floor(x)), 0, kClientW - 1); }
int edgeY(double y) { return std::clamp(static_cast<int>(std::floor(y)), 0, kClientH - 1); }

// Where a press that did not end by its release is let go: outside the
// client area, where a left release clicks nothing and the others are lost,
// as on the desktop.
constexpr int kNowhere = -1;

}  // namespace

unsigned PointerInput::handle(const PagePointer& p) {
    switch (p.type) {
        case PagePointer::Touch:
            finger(p);
            return 0;  // a finger is followed without capture: touches stay with their target
        case PagePointer::Pen: return pen(p);
        case PagePointer::Mouse: break;
    }
    return mouse(p);
}

void PointerInput::hidden() {
    // A mouse is asked whether its buttons are up at its next event; a
    // finger or a pen that left the screen meanwhile may never be heard.
    if (owner_ == Owner::Finger || owner_ == Owner::Pen) letGo();
}

void PointerInput::send(MouseKind kind, Button b, int x, int y, int32_t originX, int32_t originY) {
    deliver_(PointerEvent{kind, b, x, y, originX + x, originY + y, originX, originY});
}

void PointerInput::letGo() {
    switch (owner_) {
        case Owner::Mouse:
            // The left button first: its release ends the capture, so the
            // others' are lost outside the game.
            for (unsigned bit = kLeftBit; bit <= kEveryButton; bit <<= 1)
                if (mouse_.held & bit) send(MouseKind::Up, gameButtonOfBit(bit), kNowhere, kNowhere, 0, 0);
            mouse_.held = 0;
            break;
        case Owner::Pen:
        case Owner::Finger:
            if (touch_.swiping || penPress_ == PenPress::Barrel)
                send(MouseKind::Up, Button::Right, kNowhere, kNowhere, 0, 0);
            touch_.swiping = false;
            if (owner_ == Owner::Pen) penPress_ = PenPress::None;
            break;
        case Owner::Nobody: break;
    }
    owner_ = Owner::Nobody;
}

unsigned PointerInput::mouse(const PagePointer& p) {
    MouseState& m = mouse_;
    // A press on the canvas is on the game, even on the sliver of its edge
    // that rounding puts a hair outside.
    const bool pressOnCanvas = p.onCanvas && p.kind == PagePointer::Down;
    const int x = pressOnCanvas ? edgeX(p.x) : static_cast<int>(std::floor(p.x));
    const int y = pressOnCanvas ? edgeY(p.y) : static_cast<int>(std::floor(p.y));
    const auto [bit, chord, releases] = changeOf(p, m.known);
    m.known = p.buttons;
    if (p.kind == PagePointer::Cancel) {
        if (owner_ == Owner::Mouse) letGo();
        m.held = 0;
        return 0;
    }

    // Buttons up without the page having heard their release (before a
    // pointerdown every button is up). A held left button's release reaches
    // the game where the pointer was last seen, before anything else;
    // others are forgotten, as their releases outside the game would have
    // been lost anyway.
    const unsigned up = p.kind == PagePointer::Down ? kEveryButton : ~p.buttons & ~(releases ? bit : 0);
    if (m.held & up & kLeftBit) send(MouseKind::Up, Button::Left, m.lastX, m.lastY, m.lastOriginX, m.lastOriginY);
    m.held &= ~up;
    const unsigned heldBefore = m.held;
    unsigned answer = 0;

    if (p.kind == PagePointer::Down || (chord && !releases)) {
        // A press is the game's when it is the first button, on the canvas
        // and no other pointer's press holds the game, or a chord while a
        // button of the game is held (heard wherever the pointer is). A
        // press of a button the browser cannot name (WebKitGTK gives the
        // back and forward buttons as the left button, not held) is not.
        const bool games = p.kind == PagePointer::Down
                               ? p.onCanvas && (p.buttons & bit) && mayPress(Owner::Mouse)
                               : m.held != 0;
        if (games) {
            if (p.kind == PagePointer::Down) answer |= kCapturePointer;
            owner_ = Owner::Mouse;
            m.held |= bit;
            send(MouseKind::Down, gameButton(p.button), x, y, p.originX, p.originY);
        }
    } else if (releases) {
        if (m.held & bit) {
            m.held &= ~bit;
            send(MouseKind::Up, gameButton(p.button), x, y, p.originX, p.originY);
        }
    } else if (p.kind == PagePointer::Move) {
        // With no button of the game held, only moves over the game count,
        // as the desktop hears no moves outside its window; and none while
        // a button pressed elsewhere is held, or another pointer's press
        // holds the game.
        if (m.held || (p.buttons == 0 && inClient(x, y) && mayPress(Owner::Mouse)))
            send(MouseKind::Move, Button::Left, x, y, p.originX, p.originY);
    }
    if (owner_ == Owner::Mouse && !m.held) owner_ = Owner::Nobody;
    if (heldBefore || m.held) answer |= kGamesPointer;
    m.lastX = x;
    m.lastY = y;
    m.lastOriginX = p.originX;
    m.lastOriginY = p.originY;
    return answer;
}

unsigned PointerInput::pen(const PagePointer& p) {
    const int x = static_cast<int>(std::floor(p.x));
    const int y = static_cast<int>(std::floor(p.y));
    const auto [bit, chord, releases] = changeOf(p, penKnown_);
    penKnown_ = p.buttons;

    // The pen's press: the tip on the screen, or the barrel button held.
    const unsigned pressBit = penPress_ == PenPress::Tip ? kLeftBit : penPress_ == PenPress::Barrel ? kRightBit : 0;
    if (pressBit && releases && bit == pressBit) {
        if (penPress_ == PenPress::Tip)
            touchUp(p);
        else
            send(MouseKind::Up, Button::Right, x, y, p.originX, p.originY);
        penPress_ = p.buttons ? PenPress::Elsewhere : PenPress::None;
        owner_ = Owner::Nobody;
        return kGamesPointer;
    }
    if (pressBit && (p.kind != PagePointer::Move || !(p.buttons & pressBit))) {
        // Cancelled, or over without the page having heard its end: no
        // click and no swipe.
        letGo();
    }
    if (penPress_ == PenPress::Elsewhere && (p.kind != PagePointer::Move || !p.buttons)) penPress_ = PenPress::None;

    switch (p.kind) {
        case PagePointer::Down:
            if (!p.onCanvas || !mayPress(Owner::Pen)) {
                penPress_ = PenPress::Elsewhere;  // pressed outside the game, or while another pointer holds it
            } else if (p.buttons & kRightBit) {
                penPress_ = PenPress::Barrel;
                owner_ = Owner::Pen;
                send(MouseKind::Down, Button::Right, edgeX(p.x), edgeY(p.y), p.originX, p.originY);
                return kCapturePointer | kGamesPointer;
            } else if (bit == kLeftBit) {
                penPress_ = PenPress::Tip;
                owner_ = Owner::Pen;
                touchDown(p);
                return kCapturePointer | kGamesPointer;
            } else {
                penPress_ = PenPress::Elsewhere;  // the eraser, or some other button
            }
            break;
        case PagePointer::Move:
            // Whatever else the pen presses during its press changes nothing.
            if (penPress_ == PenPress::Tip)
                touchMove(p);
            else if (penPress_ == PenPress::Barrel)
                send(MouseKind::Move, Button::Left, x, y, p.originX, p.originY);
            else if (penPress_ == PenPress::None && p.buttons == 0 && inClient(x, y) && owner_ == Owner::Nobody)
                send(MouseKind::Move, Button::Left, x, y, p.originX, p.originY);  // hovering over the game
            break;
        case PagePointer::Up:
        case PagePointer::Cancel: break;
    }
    return owner_ == Owner::Pen ? kGamesPointer : 0u;
}

void PointerInput::finger(const PagePointer& p) {
    if (p.kind == PagePointer::Down && p.primary && owner_ == Owner::Finger) {
        // A new first finger, so no other is on the screen: the end of the
        // finger that was the pointer never came.
        letGo();
    }
    if (owner_ == Owner::Finger ? p.id != fingerId_ : p.kind != PagePointer::Down) return;  // not the pointer's finger
    switch (p.kind) {
        case PagePointer::Down:
            if (!p.onCanvas || !mayPress(Owner::Finger)) return;
            owner_ = Owner::Finger;
            fingerId_ = p.id;
            touchDown(p);
            break;
        case PagePointer::Move: touchMove(p); break;
        case PagePointer::Up:
            touchUp(p);
            owner_ = Owner::Nobody;
            break;
        case PagePointer::Cancel:
            // The system took the touch: no click and no swipe.
            letGo();
            break;
    }
}

void PointerInput::touchDown(const PagePointer& p) {
    touch_ = Touch{false, edgeX(p.x), edgeY(p.y), p.x, p.y, p.originX, p.originY};
    send(MouseKind::Move, Button::Left, touch_.downX, touch_.downY, p.originX, p.originY);
}

void PointerInput::swipeIfFar(const PagePointer& p) {
    if (!touch_.swiping && std::hypot(p.x - touch_.downFx, p.y - touch_.downFy) > kTapSlop) {
        // Too far for a tap: a right-button swipe from where the touch
        // began.
        touch_.swiping = true;
        send(MouseKind::Down, Button::Right, touch_.downX, touch_.downY, touch_.downOriginX, touch_.downOriginY);
    }
}

void PointerInput::touchMove(const PagePointer& p) {
    swipeIfFar(p);
    send(MouseKind::Move, Button::Left, edgeX(p.x), edgeY(p.y), p.originX, p.originY);
}

void PointerInput::touchUp(const PagePointer& p) {
    const int x = edgeX(p.x);
    const int y = edgeY(p.y);
    swipeIfFar(p);
    if (touch_.swiping) {
        send(MouseKind::Up, Button::Right, x, y, p.originX, p.originY);
    } else {
        send(MouseKind::Down, Button::Left, x, y, p.originX, p.originY);
        send(MouseKind::Up, Button::Left, x, y, p.originX, p.originY);
    }
    touch_.swiping = false;
}
