// What the game needs from the loop it runs in.
#pragma once
#include <cstdint>

class Host {
public:
    virtual ~Host() = default;
    // The millisecond clock (see core/clock.h).
    virtual int32_t clock() = 0;
    // Every step ends with a 1 ms sleep.
    virtual void sleep1() = 0;
    // Handle every waiting window event now, and repaint, without running a
    // step. The start click and the start of a piece of music do this, so a
    // player's clicks can be handled in the middle of a step.
    virtual void processMessages() = 0;
};
