#include "app/scheduler.h"

int32_t gateOf(Phase p) {
    switch (p) {
        case Phase::Dive: return kGateDive;
        case Phase::Over: return kGateOver;
        case Phase::Clear: return kGateClear;
        case Phase::None: break;
    }
    return 0;
}

void Scheduler::deliver(const Delivery& d) {
    TForm1& f = *form_;
    if (d.click) {
        if (d.bind == Bind::T) f.Label2Click();
        return;
    }
    switch (d.kind) {
        case MouseKind::Down:
            switch (d.bind) {
                case Bind::A: case Bind::AM: case Bind::AS: f.backMouseDown(d.button); break;
                case Bind::C1: f.card1MouseDown(d.button); break;
                case Bind::C2: f.card2MouseDown(d.button); break;
                case Bind::C3: f.card3MouseDown(d.button); break;
                case Bind::T: case Bind::None: break;
            }
            break;
        case MouseKind::Up:
            switch (d.bind) {
                case Bind::A: case Bind::AM: case Bind::AS:
                case Bind::C1: case Bind::C2: case Bind::C3: f.backMouseUp(d.button); break;
                case Bind::T: case Bind::None: break;
            }
            break;
        case MouseKind::Move:
            switch (d.bind) {
                case Bind::AM: f.backMouseMove(); break;
                case Bind::AS: f.spearMouseMove(); break;
                case Bind::T: f.Label2MouseMove(); break;
                default: break;
            }
            break;
    }
}

void Scheduler::dispatch(const PlatformEvent& ev) {
    switch (ev.type) {
        case PlatformEvent::Quit: closed_ = true; break;
        case PlatformEvent::Expose: screen_->markDirty(); break;
        case PlatformEvent::Mouse: {
            if (closed_) break;  // the window is going away
            if (observer_) observer_->beforeEvent(ev);
            form_->setEventPos(ev.pos);
            Delivery out[2];
            const int n = router_.route(*screen_, ev.mouse, out);
            for (int i = 0; i < n; ++i) deliver(out[i]);
            if (observer_) observer_->afterEvent(ev);
            break;
        }
    }
}

void Scheduler::processMessages() {
    PlatformEvent ev;
    while (p_.poll(ev)) dispatch(ev);
    if (screen_->dirty()) {
        p_.present(*screen_);
        screen_->clearDirty();
        if (observer_) observer_->afterPresent();
    }
}

void Scheduler::callIdle() {
    bool done = true;
    const Phase phase = phase_;
    const int32_t last = form_->state().LastTick;
    if (observer_) observer_->beforeStep(phase);
    switch (phase) {
        case Phase::Dive: form_->AppMain(done); break;
        case Phase::Over: form_->AppOver(done); break;
        case Phase::Clear: form_->AppEnd(done); break;
        case Phase::None: break;
    }
    // Every step ends by taking a new LastTick.
    if (observer_) observer_->afterStep(phase, form_->state().LastTick != last);
}

void Scheduler::runOnce() {
    PlatformEvent ev;
    if (p_.poll(ev)) {
        dispatch(ev);
        return;
    }
    // A repaint counts as an event, taken only when no other one waits, so
    // every step is on the screen before the next one runs.
    if (screen_->dirty()) {
        p_.present(*screen_);
        screen_->clearDirty();
        if (observer_) observer_->afterPresent();
        return;
    }
    if (phase_ == Phase::None) {
        if (p_.wait(ev, std::nullopt)) dispatch(ev);
        return;
    }
    const int32_t gate = gateOf(phase_);
    const int32_t since = form_->state().LastTick;
    if (!spinning_ && elapsedMs(p_.clock(), since) < gate) {
        // Sleep until an event comes or the gate opens, whichever is first.
        const int32_t due = static_cast<int32_t>(static_cast<uint32_t>(since) + static_cast<uint32_t>(gate));
        if (p_.wait(ev, due)) dispatch(ev);
        return;
    }
    callIdle();
}

#ifdef TORVENKA_BENCH
// ---- Bench build only (cmake -DTORVENKA_BENCH=ON), for scripts/bench -----
// The same loop, watched from outside runOnce():
//  - TORVENKA_BENCH_TRACE names a file that gets a line "S <µs> <phase>" for
//    every step (its start on CLOCK_MONOTONIC; phase D dive, O game over,
//    C clear) and one line "F <µs>" on CLOCK_REALTIME once the first frame
//    has been put on the screen;
//  - TORVENKA_BENCH_SPIN=1 makes the loop poll between steps instead of
//    sleeping, as the original busy loop does.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {
unsigned long long benchMicros(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<unsigned long long>(ts.tv_sec) * 1000000ull + static_cast<unsigned long long>(ts.tv_nsec) / 1000u;
}
char benchPhaseLetter(Phase p) { return p == Phase::Dive ? 'D' : p == Phase::Over ? 'O' : 'C'; }
}  // namespace

void Scheduler::run() {
    if (const char* spin = std::getenv("TORVENKA_BENCH_SPIN"); spin && std::strcmp(spin, "1") == 0) setSpinning(true);
    FILE* trace = nullptr;
    if (const char* path = std::getenv("TORVENKA_BENCH_TRACE"); path && *path) trace = std::fopen(path, "w");
    bool framed = false;
    while (!closed_) {
        const Phase phase = phase_;
        const int32_t last = form_->state().LastTick;
        const bool dirty = screen_->dirty();
        const unsigned long long start = benchMicros(CLOCK_MONOTONIC);
        runOnce();
        if (!trace) continue;
        // Every step ends by taking a new LastTick, and only a repaint
        // clears the dirty flag.
        if (phase != Phase::None && form_->state().LastTick != last)
            std::fprintf(trace, "S %llu %c\n", start, benchPhaseLetter(phase));
        if (!framed && dirty && !screen_->dirty()) {
            framed = true;
            std::fprintf(trace, "F %llu\n", benchMicros(CLOCK_REALTIME));
        }
    }
    if (trace) std::fclose(trace);
}
// ---- end of the bench build's part ----------------------------------------
#else
void Scheduler::run() {
    while (!closed_) runOnce();
}
#endif
