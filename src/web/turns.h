// Drives the game's loop in a page, which cannot block: the browser calls
// pump() (from a timer, a message or a pointer callback), the loop takes one
// turn after another until it has nothing to do at once, and the driver then
// asks the page to call again when the gate opens; a pointer event calls at
// once, as an event ends the desktop's wait at once. Everything inside a
// turn (the handling of waiting events inside a step, the step's 1 ms
// sleep, kept by the platform's clock) runs exactly as on the desktop.
#pragma once
#include "loop/scheduler.h"
#include "web/wake_aim.h"
#include "web/web_platform.h"

class TurnDriver {
public:
    TurnDriver(Scheduler& loop, WebPlatform& platform) : loop_(loop), platform_(platform) {}
    void pump();
    // The wake-up asked for came: its timer came back at `now` (the page
    // then bridges to the gate), or the gate has opened (woken()).
    void timerBack(double now) { aim_.timerBack(now); }
    void woken();
    // A finger (or a pen's tip) touched the screen, moved on it or left it:
    // Chromium may hold the page's own timer back a while, so the wake-up
    // on its way gets the worker's timer beside it (wake_aim.h).
    void fingerAt(double now);
    // A hidden page takes no turns: the dive waits where it is.
    void setPaused(bool paused);

private:
    Scheduler& loop_;
    WebPlatform& platform_;
    WakeAim aim_;
    bool waking_ = false;  // a wake-up is asked for, at wakeMoment_
    double wakeMoment_ = 0;
    bool paused_ = false;
    bool diving_ = false;
};
