// Which item receives a pointer event: the topmost visible item whose whole
// box contains the pointer (see-through pixels included), else the window.
// From a left press until its release everything goes to the item pressed;
// the right and middle buttons capture nothing, and their events outside the
// client area are lost.
#pragma once
#include "core/playfield.h"
#include "core/pointer.h"

class Router {
public:
    // Writes up to two deliveries (a release and the click after it);
    // returns how many.
    int route(const Playfield& f, const PointerEvent& e, Delivery out[2]);

    // The topmost visible item under a client position, or kWindowTarget.
    static int hit(const Playfield& f, int x, int y);

private:
    static constexpr int kNoCapture = -2;
    int captured_ = kNoCapture;
};
