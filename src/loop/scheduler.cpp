#include "loop/scheduler.h"

Scheduler::Scheduler(Platform& p, TextMeasure& font, CommandSink& sound, uint32_t seed)
    : p_(p), game_(font, sound, *this, seed), recorder_(seed) {}

DiveRecord Scheduler::record() const {
    DiveRecord r = recorder_.record();
    if (!recorder_.closed()) {
        r.ended = game_.phase() == Phase::None;
        r.endDigest = stateDigest(game_.view());
    }
    return r;
}

void Scheduler::playBack(DiveRecord r) { player_.emplace(std::move(r)); }

// The platform's next event; in a replay, the player's pointer is dropped
// and the record's event due here, if any, takes its place.
bool Scheduler::nextEvent(PlatformEvent& ev) {
    while (p_.poll(ev))
        if (!player_ || ev.type != PlatformEvent::Pointer) return true;
    if (player_ && player_->due(recorder_.position(), ev.pointer)) {
        ev.type = PlatformEvent::Pointer;
        return true;
    }
    return false;
}

void Scheduler::dispatch(const PlatformEvent& ev) {
    switch (ev.type) {
        case PlatformEvent::Quit:
            closed_ = true;
            recorder_.close(game_.view());
            break;
        case PlatformEvent::Expose: game_.markDirty(); break;
        case PlatformEvent::Pointer: {
            if (closed_) break;  // the window is going away
            if (observer_) observer_->beforeEvent(ev);
            if (!recording_) {
                game_.pointer(ev.pointer);
                if (observer_) observer_->afterEvent(ev);
                break;
            }
            // A move that leaves the state and the playfield as they were is
            // recorded without its position.
            const GameView view = game_.view();
            const bool move = ev.pointer.kind == MouseKind::Move && recorder_.open();
            const GameState before = move ? view.state : GameState{};
            const uint32_t changes = view.playfield.changes();
            recorder_.handling(ev.pointer);
            game_.pointer(ev.pointer);
            recorder_.handled(move && view.state == before && view.playfield.changes() == changes);
            if (player_ && recorder_.position().depth == 0) player_->check(recorder_.position(), view);
            if (observer_) observer_->afterEvent(ev);
            break;
        }
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
    if (ran && recording_) {
        recorder_.stepped();
        if (game_.phase() == Phase::None) recorder_.close(game_.view());  // the dive is over
        if (player_) player_->check(recorder_.position(), game_.view());
    }
    if (observer_) observer_->afterStep(phase, ran);
}

void Scheduler::processMessages() {
    // Counted, so that a replay hands its events to the same call.
    struct Inside {
        DiveRecorder* r;
        explicit Inside(DiveRecorder* rec) : r(rec) {
            if (r) r->enterMessages();
        }
        ~Inside() {
            if (r) r->leaveMessages();
        }
    } inside(recording_ ? &recorder_ : nullptr);
    PlatformEvent ev;
    while (nextEvent(ev)) dispatch(ev);
    if (game_.view().playfield.dirty()) present();
}

NextTurn Scheduler::turn() {
    NextTurn next;
    PlatformEvent ev;
    if (nextEvent(ev)) {
        dispatch(ev);
    } else if (game_.view().playfield.dirty()) {
        present();
    } else if (game_.phase() == Phase::None || (player_ && !player_->mayStep(recorder_.position()))) {
        next.kind = NextTurn::OnEvent;
        if (player_ && !player_->over()) player_->stalled(recorder_.position(), game_.phase());
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
            if (p_.wait(ev, std::nullopt) && !(player_ && ev.type == PlatformEvent::Pointer)) dispatch(ev);
            break;
        case NextTurn::AtDeadline:
            // Sleep until an event comes or the gate opens, whichever is first.
            if (p_.wait(ev, next.deadline) && !(player_ && ev.type == PlatformEvent::Pointer)) dispatch(ev);
            break;
    }
}

void Scheduler::run() {
    while (!closed_) runOnce();
}
