// Where the page aims the timer that brings it back for the next step.
//
// A page cannot sleep until a given moment: it can set a timer, whose delay
// every browser counts in whole milliseconds and which comes back a little
// late, by its own amount; and it can post messages to itself, each of
// which comes back at once and checks the clock ("bridging"), which keeps
// the processor busy for as long as it lasts. A step must start within the
// millisecond its gate opens in, and early enough in it that the step's own
// work ends there too (the next gate is counted from the step's end, as on
// the desktop), or the step that follows comes a millisecond late.
//
// Where performance.now() is fine (Chromium counts it in tenths of a
// millisecond), the aim knows where in its millisecond the timer is set, how
// long a step's work took and how late timers come back, and it picks the
// whole-millisecond delay that lands the timer early in the gate's
// millisecond; bridging covers what is left when the timer comes back
// early, a fraction of a millisecond at most. A timer held back far longer
// than timers come back late (Chromium holds them as a finger touches the
// screen or leaves it) is not taken for their lateness.
//
// Where it is counted in whole milliseconds (Firefox and WebKit, unless the
// page is cross-origin isolated), only the millisecond a timer comes back in
// is seen. A timer aimed one millisecond early comes back before the gate
// and is bridged to the moment it opens: the page then knows it starts a
// step at the very beginning of the millisecond. The next steps drift later
// in their millisecond by the work and the timer's lateness, so after such
// a start the aim lets `k` timers go to the gate itself before it aims one
// early again. `k` grows after a run of cycles whose early timer was still
// early, and shrinks when a step was late, or when twice in such a run an
// early timer came back in the gate's millisecond (the drift was more than
// the aim thought).
#pragma once

class WakeAim {
public:
    // The whole-millisecond delay of the timer to set at `now`, so that the
    // page comes back in the millisecond starting at `moment`
    // (performance.now()'s scale, a whole number); 0 when there is no time
    // for a timer and the page should bridge at once. The page's turns
    // since it last came back began at `begun`, and the step among them
    // went to sleep at `slept` (`begun` again if no step ran): the step's
    // work is what must end within the millisecond it starts in.
    int delayFor(double begun, double slept, double now, double moment);
    // The delay of the worker's timer to set beside the page's own (0:
    // none). Chromium holds a page's own timers back as a finger touches
    // the screen or leaves it, but not a worker's, whose message comes back
    // a little after the page's own timer would: with the fine clock, while
    // a finger may make the page's timers wait (from a finger's event until
    // `kFingerHolds` ms after the last), the worker's timer is as long as
    // the page's, and whichever comes back first wakes the page. Else the
    // page's own timer alone, which costs the page less: a mouse never
    // made Chromium hold one, and where the clock counts whole milliseconds
    // (Firefox, WebKit) a worker's timer comes back early as often as not,
    // which the page would bridge, and those engines were not seen holding
    // timers.
    int workerDelay() const { return worker_ ? delay_ : 0; }
    // A finger (or a pen's tip) touched the screen, moved on it or left it
    // at `now`. While a wake-up is on its way with no worker's timer beside
    // it, the delay of the one to set now for the same moment (0: none).
    int fingerAt(double now);
    // The timer set last (the page's own or the worker's) came back at `now`.
    void timerBack(double now);

    // The lead every timer gets on a machine whose timers come back late.
    int baseLead() const { return base_; }

private:
    enum class Expect { InTime, Early, Unknown };
    void missed();

    bool fine_ = false;
    // When a finger's event came last, and whether the timer set last has
    // a worker's beside it.
    double fingerSeen_ = -1e9;
    bool worker_ = false;
    bool out_ = false;  // the timer set last has not come back yet
    // Fine clock: how late timers come back (a high quantile, ms), how many
    // timers in a row came back far later than that, and how long a step's
    // work takes (a slowly fading maximum, ms).
    double lateness_ = 0.5;
    int heldInARow_ = 0;
    double work_ = 0.5;
    // Whole-millisecond clock: timers that may go to the gate itself after
    // a start at the beginning of a millisecond, how many have, how many
    // clean cycles in a row, and the lead every timer gets on a slow
    // machine.
    int k_ = 0;
    int sinceStart_ = 0;
    int cleanCycles_ = 0;
    int nearMisses_ = 0;
    int base_ = 0;
    int goodTimers_ = 64;  // timers in time since the last late one
    bool phaseKnown_ = false;

    double setAt_ = 0;
    double moment_ = 0;
    int delay_ = 0;
    Expect expect_ = Expect::Unknown;
};
