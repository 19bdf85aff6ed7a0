// The message loop and its phases. Window events are dispatched as they
// come; a repaint is taken only when no other event waits; and when nothing
// waits, the installed phase's step runs once its gate has passed since the
// end of the previous step. Between steps the loop sleeps instead of spinning.
#pragma once
#include <cstdint>
#include <optional>

#include "game/form.h"
#include "game/host.h"
#include "screen/items.h"
#include "screen/pointer.h"
#include "screen/router.h"

struct PlatformEvent {
    enum Type : uint8_t { Mouse, Quit, Expose } type = Expose;
    MouseEvent mouse{MouseKind::Move, Button::Left, 0, 0};
    EventPos pos;  // screen position of the event and of the client origin
};

// What the loop needs from the windowing system; tests give it a fake.
class Platform {
public:
    virtual ~Platform() = default;
    // |monotonic milliseconds| as a signed 32-bit number.
    virtual int32_t clock() = 0;
    virtual void sleepMs(int ms) = 0;
    virtual bool poll(PlatformEvent& ev) = 0;
    // Block until an event arrives (true) or, given a deadline, until the
    // clock reads the deadline (false).
    virtual bool wait(PlatformEvent& ev, std::optional<int32_t> deadline) = 0;
    virtual void present(const Screen& s) = 0;
};

// Gates of the phases, in milliseconds between the end of one step and the
// start of the next.
constexpr int32_t kGateDive = 30;
constexpr int32_t kGateOver = 500;
constexpr int32_t kGateClear = 60;

int32_t gateOf(Phase p);
// The game's clock from a count of milliseconds: the count wrapped to a
// signed 32-bit number. Differences taken with elapsedMs() stay right across
// every wrap, so the clock never runs backwards for the gates (taking the
// absolute value would, after 24.8 days of up-time, and freeze the dive).
inline int32_t clockFromMs(uint64_t ms) { return static_cast<int32_t>(static_cast<uint32_t>(ms)); }
// Signed 32-bit difference a - b, wrapping like the game's clock arithmetic.
inline int32_t elapsedMs(int32_t now, int32_t since) {
    return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(since));
}

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
    void attach(TForm1& form, Screen& screen) {
        form_ = &form;
        screen_ = &screen;
    }

    int32_t clock() override { return p_.clock(); }
    void sleep1() override { p_.sleepMs(1); }
    void install(Phase ph) override { phase_ = ph; }
    void processMessages() override;

    // Runs the loop until the window is closed.
    void run();
    // One pass of the loop: an event, a repaint, a step or a wait.
    void runOnce();

    Phase phase() const { return phase_; }
    bool closed() const { return closed_; }
    // When set, the loop polls instead of sleeping between steps, like the
    // original busy loop (kept for measuring the cadence against it).
    void setSpinning(bool s) { spinning_ = s; }
    void setObserver(LoopObserver* o) { observer_ = o; }

private:
    void dispatch(const PlatformEvent& ev);
    void deliver(const Delivery& d);
    void callIdle();

    Platform& p_;
    TForm1* form_ = nullptr;
    Screen* screen_ = nullptr;
    Router router_;
    Phase phase_ = Phase::None;
    bool closed_ = false;
    bool spinning_ = false;
    LoopObserver* observer_ = nullptr;
};
