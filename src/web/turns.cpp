#include "web/turns.h"

#include "web/page.h"

void TurnDriver::pump() {
    if (paused_) return;
    for (;;) {
        const NextTurn next = loop_.turn();
        switch (next.kind) {
            case NextTurn::Now: continue;  // an event, a repaint or a step: the next turn
            case NextTurn::AtDeadline: torvenka_wake_at(platform_.momentOf(next.deadline)); return;
            case NextTurn::OnEvent:  // nothing to step: only a pointer event calls again
            case NextTurn::Closed: torvenka_wake_cancel(); return;
        }
    }
}

void TurnDriver::setPaused(bool paused) {
    paused_ = paused;
    if (paused_)
        torvenka_wake_cancel();
    else
        pump();
}
