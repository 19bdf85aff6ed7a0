// The page's pointers turned into the game's mouse: what a browser reports
// (Pointer Events: a mouse, a pen or fingers) becomes the pointer events the
// desktop's windowing system would give the game.
//
// A mouse and a pen keep the desktop's rules. The canvas takes the presses
// and captures the pointer, so that while a button pressed in the game is
// held every move, every other button's press and release, and the last
// release reach the game wherever the pointer goes; the game's router then
// decides, as on the desktop, that only the left button holds on to what it
// pressed. With no button of the game held, only moves over the canvas
// count. When the page learns that a held left button is up without having
// heard its release (it was let go over another window, or during a switch
// of windows), the game gets that release all the same, as a desktop
// pointer grab always delivers it: otherwise the game would go on sending
// every move and press to the item pressed long ago.
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
// - a touch the system cancels ends with neither a click nor a swipe, and a
//   second finger while one is down changes nothing.
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
    int id = 0;             // pointerId
    bool touch = false;     // pointerType "touch" (a mouse and a pen are alike)
    int button = -1;        // the button that changed (DOM numbering), -1 for none
    unsigned buttons = 0;   // the buttons held after the event (DOM bits)
    double x = 0, y = 0;    // position in game pixels, fractions kept
    bool onCanvas = false;  // the event's target is the canvas itself
    int32_t originX = 0, originY = 0;  // the client area's top-left corner on the screen
};

class PointerInput {
public:
    using Deliver = std::function<void(const PointerEvent&)>;
    explicit PointerInput(Deliver deliver) : deliver_(std::move(deliver)) {}

    // Handles one event; true when the page should capture this pointer
    // (a press the game took).
    bool handle(const PagePointer& p);

private:
    bool mouse(const PagePointer& p);
    void finger(const PagePointer& p);
    void send(MouseKind kind, Button b, int x, int y, int32_t originX, int32_t originY);

    Deliver deliver_;
    // The mouse: the DOM button bits pressed in the game and still held, and
    // where the pointer was last seen.
    unsigned held_ = 0;
    unsigned known_ = 0;  // the DOM's `buttons` after the last event
    int lastX_ = 0, lastY_ = 0;
    int32_t lastOriginX_ = 0, lastOriginY_ = 0;
    // The finger that is the pointer, if one is down.
    bool fingerDown_ = false;
    int fingerId_ = 0;
    bool swiping_ = false;
    int downX_ = 0, downY_ = 0;
    double downFx_ = 0, downFy_ = 0;
    int32_t downOriginX_ = 0, downOriginY_ = 0;
};
