#include "web/turns.h"

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
            torvenka_wake_at(platform_.momentOf(*w.deadline));
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
