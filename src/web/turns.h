// Drives the game's loop in a page, which cannot block: the browser calls
// pump() (from a timer, a message or a pointer callback), the loop runs one
// turn after another until it would wait, and the driver then asks the page
// to call again when the gate opens. A pointer event calls at once, as an
// event ends the desktop's wait at once. Everything inside a turn (a step's
// 1 ms sleep, the handling of waiting events inside a step) runs exactly as
// on the desktop.
#pragma once
#include "loop/scheduler.h"
#include "web/web_platform.h"

class TurnDriver {
public:
    TurnDriver(Scheduler& loop, WebPlatform& platform) : loop_(loop), platform_(platform) {}
    void pump();
    // A hidden page takes no turns: the dive waits where it is.
    void setPaused(bool paused);

private:
    Scheduler& loop_;
    WebPlatform& platform_;
    bool paused_ = false;
    bool pumping_ = false;
};
