#include "web/turns.h"

#include <algorithm>

#include "web/page.h"

void TurnDriver::pump() {
    if (paused_) return;
    const double begun = platform_.now();
    for (;;) {
        const NextTurn next = loop_.turn();
        switch (next.kind) {
            case NextTurn::Now: continue;  // an event, a repaint or a step: the next turn
            case NextTurn::AtDeadline: {
                // A pointer event between steps leaves the gate where it
                // was, and the wake-up already on its way with it.
                const double moment = platform_.momentOf(next.deadline);
                if (waking_ && moment == wakeMoment_) break;
                waking_ = true;
                wakeMoment_ = moment;
                const double slept = std::max(platform_.sleptAt(), begun);
                const int delay = aim_.delayFor(begun, slept, platform_.now(), moment);
                torvenka_wake_at(moment, delay, aim_.workerDelay());
                break;
            }
            case NextTurn::OnEvent:  // nothing to step: only a pointer event calls again
            case NextTurn::Closed:
                waking_ = false;
                torvenka_wake_cancel();
                break;
        }
        break;
    }
    // The diver is down from the start of the dive to its last picture's
    // first step: the game over, or the clear sequence played out.
    const Phase phase = loop_.game().phase();
    const bool diving = phase == Phase::Dive || phase == Phase::Clear;
    if (diving != diving_) {
        diving_ = diving;
        torvenka_diving(diving ? 1 : 0);
    }
}

void TurnDriver::fingerAt(double now) {
    const int workerDelay = aim_.fingerAt(now);
    if (waking_ && workerDelay >= 1) torvenka_wake_worker(workerDelay);
}

void TurnDriver::woken() {
    waking_ = false;
    pump();
}

void TurnDriver::setPaused(bool paused) {
    paused_ = paused;
    waking_ = false;
    if (paused_)
        torvenka_wake_cancel();
    else
        pump();
}
