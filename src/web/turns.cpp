#include "web/turns.h"

#include "web/page.h"

void TurnDriver::pump() {
    if (paused_) return;
    for (;;) {
        const NextTurn next = loop_.turn();
        switch (next.kind) {
            case NextTurn::Now: continue;  // an event, a repaint or a step: the next turn
            case NextTurn::AtDeadline: torvenka_wake_at(platform_.momentOf(next.deadline)); break;
            case NextTurn::OnEvent:  // nothing to step: only a pointer event calls again
            case NextTurn::Closed: torvenka_wake_cancel(); break;
        }
        break;
    }
    // The screen stays lit from the start of the dive to its last picture's
    // first step: the game over, or the clear sequence played out.
    const Phase phase = loop_.game().phase();
    const bool diving = phase == Phase::Dive || phase == Phase::Clear;
    if (diving != keepingAwake_) {
        keepingAwake_ = diving;
        torvenka_keep_awake(diving ? 1 : 0);
    }
}

void TurnDriver::setPaused(bool paused) {
    paused_ = paused;
    if (paused_)
        torvenka_wake_cancel();
    else
        pump();
}
