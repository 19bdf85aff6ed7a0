// The message loop. Window events are handled as they come; a repaint is
// taken only when no other event waits, so every step is on the screen before
// the next one runs; and when nothing waits, the game's current phase takes
// its next step once its gate has passed. Between steps the loop sleeps
// until the gate opens or an event arrives, whichever comes first; with no
// phase it blocks until the next event.
#pragma once
#include <cstdint>
#include <optional>

#include "core/game.h"
#include "core/host.h"
#include "core/playfield.h"
#include "core/pointer.h"

struct PlatformEvent {
    enum Type : uint8_t { Pointer, Quit, Expose } type = Expose;
    PointerEvent pointer;
};

// What the loop needs from the windowing system; the headless harness gives
// it a fake.
class Platform {
public:
    virtual ~Platform() = default;
    // The monotonic millisecond clock, wrapped to the game's signed 32 bits.
    virtual int32_t clock() = 0;
    virtual void sleepMs(int ms) = 0;
    virtual bool poll(PlatformEvent& ev) = 0;
    // Block until an event arrives (true) or, given a deadline, until the
    // clock reads the deadline (false).
    virtual bool wait(PlatformEvent& ev, std::optional<int32_t> deadline) = 0;
    virtual void present(const Playfield& f) = 0;
};

// Watches the loop from outside: the benchmarks and the whole-state traces
// hang here, so the loop itself carries no measuring code.
class LoopObserver {
public:
    virtual ~LoopObserver() = default;
    virtual void beforeEvent(const PlatformEvent&) {}
    virtual void afterEvent(const PlatformEvent&) {}
    virtual void beforeStep(Phase) {}
    // ran: the phase's gate let a step through.
    virtual void afterStep(Phase, bool /*ran*/) {}
    virtual void afterPresent() {}
};

class Scheduler : public Host {
public:
    explicit Scheduler(Platform& p) : p_(p) {}
    void attach(Game& game) { game_ = &game; }

    int32_t clock() override { return p_.clock(); }
    void sleep1() override { p_.sleepMs(1); }
    void processMessages() override;

    // Runs the loop until the window is closed.
    void run();
    // One pass of the loop: an event, a repaint, a step or a wait.
    void runOnce();

    bool closed() const { return closed_; }
    // When set, the loop polls the clock between steps instead of sleeping:
    // the busy loop the game's pacing was first made for, kept for measuring
    // the cadence against it.
    void setSpinning(bool s) { spinning_ = s; }
    void setObserver(LoopObserver* o) { observer_ = o; }

private:
    void dispatch(const PlatformEvent& ev);
    void present();
    void step();

    Platform& p_;
    Game* game_ = nullptr;
    bool closed_ = false;
    bool spinning_ = false;
    LoopObserver* observer_ = nullptr;
};
