// The message loop. Window events are handled as they come; a repaint is
// taken only when no other event waits, so every step is on the screen before
// the next one runs; and when nothing waits, the game's current phase takes
// its next step once its gate has passed. Between steps the loop sleeps
// until the gate opens or an event arrives, whichever comes first; with no
// phase it blocks until the next event.
//
// The loop can be driven two ways, by the same rules: run() blocks in the
// platform's wait between turns, as a desktop program does; a host that
// cannot block (a browser calls back, it does not wait) calls turn() and is
// told when to call again.
#pragma once
#include <cstdint>
#include <optional>

#include "core/clock.h"
#include "core/game.h"
#include "core/host.h"
#include "core/playfield.h"
#include "core/pointer.h"
#include "record/dive_record.h"
#include "sound/commands.h"

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
    // The sleep that ends every step. A platform that cannot block keeps it
    // with a SleeplessClock instead.
    virtual void sleepMs(int ms) = 0;
    virtual bool poll(PlatformEvent& ev) = 0;
    // Block until an event arrives (true) or, given a deadline, until the
    // clock reads the deadline (false). Only run() and runOnce() call it; a
    // platform driven through turn() is never asked to wait.
    virtual bool wait(PlatformEvent& ev, std::optional<int32_t> deadline) = 0;
    virtual void present(const Playfield& f) = 0;
};

// The 1 ms sleep for a platform that cannot block. sleep() returns at once
// and marks the instant the sleep would have ended; read() never gives an
// earlier time than that mark. The step's LastTick, taken right after the
// sleep, gets the same value as after a real sleep, and the next gate counts
// from it: the dive keeps its 30 + 1 ms cadence.
class SleeplessClock {
public:
    // The platform's own clock reading, held back from going below the mark.
    int32_t read(int32_t raw) {
        if (marked_ && elapsedMs(raw, mark_) < 0) return mark_;
        marked_ = false;  // the real clock has caught up
        return raw;
    }
    void sleep(int32_t raw, int ms) {
        mark_ = laterMs(read(raw), ms);
        marked_ = true;
    }

private:
    int32_t mark_ = 0;
    bool marked_ = false;
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

// When a host that cannot block should call turn() again.
struct NextTurn {
    enum Kind : uint8_t {
        Now,         // at once: the turn handled an event, repainted or stepped
        AtDeadline,  // when the clock reads `deadline`, or at the next event if that comes first
        OnEvent,     // at the next event: no phase runs, nothing to do until then
        Closed,      // never: the window is closed
    } kind = Now;
    int32_t deadline = 0;  // with AtDeadline: when the phase's gate opens
};

// The window's loop and the game it runs. The game is made here, with the
// loop as its host, and lives exactly as long as the loop: the window's
// destruction is the game's, which silences both sound channels.
class Scheduler : public Host {
public:
    // font, sound and the platform must outlive the loop.
    Scheduler(Platform& p, TextMeasure& font, CommandSink& sound, uint32_t seed);
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    Game& game() { return game_; }
    const Game& game() const { return game_; }

    int32_t clock() override { return p_.clock(); }
    void sleep1() override { p_.sleepMs(1); }
    void processMessages() override;

    // One turn of the loop, never waiting: an event, else a repaint, else
    // the phase's step if its gate has passed; and when to come back.
    NextTurn turn();
    // One turn, then the wait it asks for, in the platform's wait.
    void runOnce();
    // Runs the loop until the window is closed.
    void run();

    bool closed() const { return closed_; }
    // When set, the loop polls the clock between steps instead of sleeping:
    // the busy loop the game's pacing was first made for, kept for measuring
    // the cadence against it.
    void setSpinning(bool s) { spinning_ = s; }
    void setObserver(LoopObserver* o) { observer_ = o; }
    // Cleared, the loop writes nothing of the dive down (and has nothing to
    // keep): only the bench build does, to measure what recording costs.
    // Never with playBack, which counts its places on the recorder.
    void setRecording(bool r) { recording_ = r; }

    // The dive as the loop handled it: every window records its dive, from
    // its making until the dive's end or the window's closing.
    const DiveRecorder& recorder() const { return recorder_; }
    // The record as it stands, closed on the dive's state now if the dive
    // has not ended nor the window closed yet.
    DiveRecord record() const;
    // Plays a record back instead of the player's pointer, whose events are
    // dropped from here on; the loop must have been made with the record's
    // seed and have handled nothing yet. The replay keeps the dive's own
    // pace, and nothing more runs once its last step has.
    void playBack(DiveRecord r);
    bool playingBack() const { return player_.has_value(); }
    bool playbackOver() const { return player_ && player_->over(); }
    // Empty, or the one line that says how a replay went wrong.
    std::string playbackProblem() const { return player_ ? player_->problem() : std::string(); }

private:
    bool nextEvent(PlatformEvent& ev);
    void dispatch(const PlatformEvent& ev);
    void present();
    void step();

    Platform& p_;
    Game game_;
    bool closed_ = false;
    bool spinning_ = false;
    bool recording_ = true;
    LoopObserver* observer_ = nullptr;
    DiveRecorder recorder_;
    std::optional<RecordPlayer> player_;
};
