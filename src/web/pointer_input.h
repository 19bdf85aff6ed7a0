// The page's pointers turned into the game's mouse: what a browser reports
// (Pointer Events: a mouse, a pen or fingers) becomes the pointer events the
// desktop's windowing system would give the game.
//
// A mouse keeps the desktop's rules. The canvas takes the presses and
// captures the pointer, so that while a button pressed in the game is held
// every move, every other button's press and release, and the last release
// reach the game wherever the pointer goes; the game's router then decides,
// as on the desktop, that only the left button holds on to what it pressed.
// With no button of the game held, only moves over the canvas count. A
// button pressed off the canvas is not the game's, and nothing of that
// mouse is heard until every button is up again: neither its moves nor
// another button pressed meanwhile over the game (the desktop's pointer grab
// belongs to whatever was pressed first). When the page learns that a held
// left button is up without having heard its release (it was let go over
// another window, or during a switch of windows), the game gets that release
// all the same, as a desktop pointer grab always delivers it: otherwise the
// game would go on sending every move and press to the item pressed long ago.
//
// One finger is the pointer on a touch screen:
// - where it touches and while it stays, the pointer is there (a finger
//   resting on the spear strikes); when it lifts, the pointer stays where it
//   was, as a mouse left on the table does;
// - lifted before it has travelled more than kTapSlop game pixels, it is a
//   left click where it lifted;
// - travelled farther, it is a right-button swipe from where it touched down
//   to where it lifted (a finger that strays past the canvas's edge counts
//   at the edge);
// - a second finger while one is down changes nothing; but a new first
//   finger (the browser's primary touch, so no other finger is on the
//   screen) is always the new pointer: a finger whose end never came is
//   forgotten, and so is a finger on the screen when the page is hidden.
//
// A pen's tip follows the finger's rules (a tap is a left click, a drag a
// swipe): most tablet pens have no button to make a right-button swipe. Its
// barrel button, where it has one, is the right button as with a mouse: a
// press with it held is a right press, followed until it is let go. Hovering,
// a pen moves the pointer as a mouse does.
//
// A press that ends some other way than by its release (the system cancels
// it, or the page learns that a finger or a pen's tip left the screen
// unheard) is released without a click and without a swipe, whatever the
// pointer.
//
// Mouse, pen and finger each have their own state, and the game still hears
// one pointer: the first to press on the game owns it until its presses are
// over (a touch lifted, every button the game took let go). Meanwhile the
// others are not heard at all, neither their presses nor their moves, so a
// mouse nudged while the pen is down neither moves the game's pointer nor
// lets the pen's press go; with nothing pressed, whichever hovers over the
// game moves the pointer.
// The mouse events a browser makes up after a tap are never listened to, so
// one tap is one click.
#pragma once
#include <cstdint>
#include <functional>

#include "core/pointer.h"

// How far, in game pixels, a finger may wander before its touch is a swipe
// rather than a tap (docs/web.md says why).
constexpr double kTapSlop = 6.0;

// One Pointer Events event, as the page's script reads it.
struct PagePointer {
    enum Kind : uint8_t { Down, Move, Up, Cancel } kind = Move;
    enum Type : uint8_t { Mouse, Pen, Touch } type = Mouse;  // pointerType
    int id = 0;             // pointerId
    bool primary = true;    // isPrimary: for a touch, no other finger was on the screen
    int button = -1;        // the button that changed (DOM numbering), -1 for none
    unsigned buttons = 0;   // the buttons held after the event (DOM bits)
    double x = 0, y = 0;    // position in game pixels, fractions kept
    bool onCanvas = false;  // the event's target is the canvas itself
    int32_t originX = 0, originY = 0;  // the client area's top-left corner on the screen
};

// What the page does with an event besides handing it on: bits of the value
// handle() returns.
constexpr unsigned kCapturePointer = 1;  // capture this pointer: a press the game took
// The event is a press or release of the game's, or comes while the game
// holds this pointer's press: the browser must not act on it (a back button
// pressed on the game must not leave the page).
constexpr unsigned kGamesPointer = 2;

class PointerInput {
public:
    using Deliver = std::function<void(const PointerEvent&)>;
    explicit PointerInput(Deliver deliver) : deliver_(std::move(deliver)) {}

    // Handles one event; returns kCapturePointer and kGamesPointer bits.
    unsigned handle(const PagePointer& p);
    // The page was hidden: a finger or a pen's tip on the screen then may
    // never be heard lifting, so its touch is over, without a click.
    void hidden();

private:
    enum class Owner : uint8_t { Nobody, Mouse, Pen, Finger };

    unsigned mouse(const PagePointer& p);
    unsigned pen(const PagePointer& p);
    void finger(const PagePointer& p);
    // The touch of the finger that is the pointer, or of the pen's tip.
    void touchDown(const PagePointer& p);
    void touchMove(const PagePointer& p);
    void touchUp(const PagePointer& p);
    void swipeIfFar(const PagePointer& p);
    // Ends the owner's presses without a click or a swipe; nobody owns the
    // game's pointer any more.
    void letGo();
    bool mayPress(Owner who) const { return owner_ == Owner::Nobody || owner_ == who; }
    void send(MouseKind kind, Button b, int x, int y, int32_t originX, int32_t originY);

    Deliver deliver_;
    // Whose presses the game hears: the first to press on the game, until
    // its presses are over.
    Owner owner_ = Owner::Nobody;

    // The mouse: the DOM button bits pressed in the game and still held,
    // the DOM's `buttons` after its last event, and where it was last seen.
    struct MouseState {
        unsigned held = 0;
        unsigned known = 0;
        int lastX = 0, lastY = 0;
        int32_t lastOriginX = 0, lastOriginY = 0;
    } mouse_;

    // The pen: what it presses, and the DOM's `buttons` after its last event.
    enum class PenPress : uint8_t { None, Tip, Barrel, Elsewhere };
    PenPress penPress_ = PenPress::None;
    unsigned penKnown_ = 0;

    // The finger that is the pointer (while the owner is Finger).
    int fingerId_ = 0;

    // The touch under way, of that finger or of the pen's tip.
    struct Touch {
        bool swiping = false;
        int downX = 0, downY = 0;
        double downFx = 0, downFy = 0;
        int32_t downOriginX = 0, downOriginY = 0;
    } touch_;
};
