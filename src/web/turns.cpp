#include "web/turns.h"

#include "core/clock.h"
#include "web/page.h"

void TurnDriver::pump() {
    if (paused_ || pumping_) return;
    pumping_ = true;
    for (;;) {
        loop_.runOnce();
        const WebPlatform::WaitRequest w = platform_.takeWaitRequest();
        if (!w.asked) continue;  // an event, a repaint or a step: take the next turn
        if (!w.deadline) {
            // Nothing to step: sleep until the next pointer event.
            torvenka_wake_cancel();
        } else {
            const int32_t left = elapsedMs(*w.deadline, loop_.clock());
            torvenka_wake_in(left > 0 ? left : 0);
        }
        break;
    }
    pumping_ = false;
}

void TurnDriver::setPaused(bool paused) {
    paused_ = paused;
    if (paused_)
        torvenka_wake_cancel();
    else
        pump();
}
