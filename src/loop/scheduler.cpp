#include "loop/scheduler.h"

Scheduler::Scheduler(Platform& p, TextMeasure& font, CommandSink& sound, uint32_t seed)
    : p_(p), game_(font, sound, *this, seed) {}

void Scheduler::dispatch(const PlatformEvent& ev) {
    switch (ev.type) {
        case PlatformEvent::Quit: closed_ = true; break;
        case PlatformEvent::Expose: game_.markDirty(); break;
        case PlatformEvent::Pointer:
            if (closed_) break;  // the window is going away
            if (observer_) observer_->beforeEvent(ev);
            game_.pointer(ev.pointer);
            if (observer_) observer_->afterEvent(ev);
            break;
    }
}

void Scheduler::present() {
    p_.present(game_.view().playfield);
    game_.presented();
    if (observer_) observer_->afterPresent();
}

void Scheduler::step() {
    const Phase phase = game_.phase();
    if (observer_) observer_->beforeStep(phase);
    const bool ran = game_.step();
    if (observer_) observer_->afterStep(phase, ran);
}

void Scheduler::processMessages() {
    PlatformEvent ev;
    while (p_.poll(ev)) dispatch(ev);
    if (game_.view().playfield.dirty()) present();
}

NextTurn Scheduler::turn() {
    NextTurn next;
    PlatformEvent ev;
    if (p_.poll(ev)) {
        dispatch(ev);
    } else if (game_.view().playfield.dirty()) {
        present();
    } else if (game_.phase() == Phase::None) {
        next.kind = NextTurn::OnEvent;
    } else if (!spinning_ && !game_.gateOpen()) {
        next = {NextTurn::AtDeadline, game_.gateOpensAt()};
    } else {
        step();
    }
    if (closed_) next.kind = NextTurn::Closed;
    return next;
}

void Scheduler::runOnce() {
    const NextTurn next = turn();
    PlatformEvent ev;
    switch (next.kind) {
        case NextTurn::Now:
        case NextTurn::Closed: break;
        case NextTurn::OnEvent:
            if (p_.wait(ev, std::nullopt)) dispatch(ev);
            break;
        case NextTurn::AtDeadline:
            // Sleep until an event comes or the gate opens, whichever is first.
            if (p_.wait(ev, next.deadline)) dispatch(ev);
            break;
    }
}

void Scheduler::run() {
    while (!closed_) runOnce();
}
