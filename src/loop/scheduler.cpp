#include "loop/scheduler.h"

void Scheduler::dispatch(const PlatformEvent& ev) {
    switch (ev.type) {
        case PlatformEvent::Quit: closed_ = true; break;
        case PlatformEvent::Expose: game_->markDirty(); break;
        case PlatformEvent::Pointer:
            if (closed_) break;  // the window is going away
            if (observer_) observer_->beforeEvent(ev);
            game_->pointer(ev.pointer);
            if (observer_) observer_->afterEvent(ev);
            break;
    }
}

void Scheduler::present() {
    p_.present(game_->view().playfield);
    game_->presented();
    if (observer_) observer_->afterPresent();
}

void Scheduler::step() {
    const Phase phase = game_->phase();
    if (observer_) observer_->beforeStep(phase);
    const bool ran = game_->step();
    if (observer_) observer_->afterStep(phase, ran);
}

void Scheduler::processMessages() {
    PlatformEvent ev;
    while (p_.poll(ev)) dispatch(ev);
    if (game_->view().playfield.dirty()) present();
}

void Scheduler::runOnce() {
    PlatformEvent ev;
    if (p_.poll(ev)) {
        dispatch(ev);
        return;
    }
    if (game_->view().playfield.dirty()) {
        present();
        return;
    }
    if (game_->phase() == Phase::None) {
        if (p_.wait(ev, std::nullopt)) dispatch(ev);
        return;
    }
    if (!spinning_ && !game_->gateOpen()) {
        // Sleep until an event comes or the gate opens, whichever is first.
        if (p_.wait(ev, game_->gateOpensAt())) dispatch(ev);
        return;
    }
    step();
}

void Scheduler::run() {
    while (!closed_) runOnce();
}
