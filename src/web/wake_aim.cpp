#include "web/wake_aim.h"

#include <algorithm>
#include <cmath>

namespace {

// What the aim keeps free at the end of the gate's millisecond, for a step
// that takes a little longer than the longest seen (fine clock), ms.
constexpr double kSpare = 0.15;
// The share of timers allowed to come back later than `lateness_`.
constexpr double kLateShare = 0.02;
constexpr double kLatenessRate = 0.05;  // ms a timer moves the estimate by
constexpr double kWorkFade = 0.005;     // ms a step, down towards the work seen
// A timer that comes back this much later than the estimate (ms) was held
// back: Chromium holds a page's timers for 30 to 45 ms as a finger touches
// the screen or leaves it, and a busy moment does the same now and then.
// Such a timer says nothing of how late timers come back, and is left out;
// this many in a row are the machine's timers come back later, and count.
constexpr double kHeldBeyond = 1.5;
constexpr int kHeldInARow = 3;
// Clean cycles before one more timer may go to the gate itself, and the
// most that may.
constexpr int kCyclesToGrow = 16;
constexpr int kLongestCycle = 30;
// Timers in time before a slow machine's extra lead is taken back.
constexpr int kTimersToEase = 64;
constexpr int kMostLead = 3;
// How long after a finger's event Chromium may still hold the page's
// timers, ms: 30 to 45 as a finger lifts, up to 140 after it touches on a
// busy machine.
constexpr double kFingerHolds = 250;

bool whole(double t) { return t == std::floor(t); }

}  // namespace

int WakeAim::delayFor(double begun, double slept, double now, double moment) {
    if (!whole(now) || !whole(begun) || !whole(slept)) fine_ = true;
    moment_ = moment;
    setAt_ = now;
    delay_ = 0;
    worker_ = false;
    out_ = false;
    expect_ = Expect::Unknown;
    const double remaining = moment - now;
    if (fine_) {
        work_ = std::max(slept - begun, work_ - kWorkFade);
        // Come back no later than this far into the gate's millisecond.
        const double latest = std::max(1.0 - work_ - kSpare, kSpare);
        const double delay = std::floor(remaining + latest - lateness_);
        if (delay < 1) return 0;
        delay_ = static_cast<int>(delay);
        expect_ = Expect::InTime;
        worker_ = now < fingerSeen_ + kFingerHolds;
        out_ = true;
        return delay_;
    }
    if (std::floor(slept) > std::floor(begun)) {
        // The step's work ran into the next millisecond: it started later
        // in its own than the aim thought.
        k_ = std::max(k_ - 1, 0);
        cleanCycles_ = 0;
        phaseKnown_ = false;
    }
    const bool early = !phaseKnown_ || sinceStart_ >= k_;
    const double delay = remaining - base_ - (early ? 1 : 0);
    if (delay < 1) {
        // Bridged from here to the gate: the step starts as it opens.
        phaseKnown_ = remaining > 0;
        sinceStart_ = 0;
        return 0;
    }
    delay_ = static_cast<int>(delay);
    expect_ = early ? Expect::Early : Expect::InTime;
    return delay_;
}

int WakeAim::fingerAt(double now) {
    fingerSeen_ = now;
    if (!fine_ || worker_ || !out_) return 0;
    worker_ = true;
    // Due when the page's own timer is; one held already is overdue.
    return std::max(1, static_cast<int>(std::floor(setAt_ + delay_ - now)));
}

void WakeAim::missed() {
    // One late timer is a busy moment; a second soon after it is a machine
    // whose timers come back later than a millisecond of lead covers.
    if (k_ == 0 && goodTimers_ < kTimersToEase / 8) base_ = std::min(base_ + 1, kMostLead);
    k_ = std::max(k_ - 1, 0);
    cleanCycles_ = 0;
    goodTimers_ = 0;
    phaseKnown_ = false;
}

void WakeAim::timerBack(double now) {
    out_ = false;
    if (!whole(now)) fine_ = true;
    if (expect_ == Expect::Unknown) return;
    if (fine_) {
        const double late = now - (setAt_ + delay_);
        if (late > lateness_ + kHeldBeyond) {
            if (++heldInARow_ < kHeldInARow) return;
        } else {
            heldInARow_ = 0;
        }
        lateness_ += late > lateness_ ? kLatenessRate * (1 - kLateShare) : -kLatenessRate * kLateShare;
        lateness_ = std::clamp(lateness_, 0.0, 5.0);
        return;
    }
    const double gap = std::floor(now) - moment_;
    if (gap > 0) {
        missed();
        return;
    }
    if (gap < 0) {
        // Early: bridged to the gate, so the step starts as it opens.
        if (expect_ == Expect::Early && ++cleanCycles_ >= kCyclesToGrow) {
            k_ = std::min(k_ + 1, kLongestCycle);
            cleanCycles_ = 0;
            nearMisses_ = 0;
        }
        phaseKnown_ = true;
        sinceStart_ = 0;
    } else if (expect_ == Expect::Early) {
        // A timer aimed early came back in the gate's millisecond: the
        // steps had drifted further than the aim let them, or the timer was
        // late by chance (Firefox's are now early, now late). The second
        // time within a run of cycles, the cycle is shortened.
        if (++nearMisses_ >= 2) {
            k_ = std::max(k_ - 1, 0);
            nearMisses_ = 0;
        }
        cleanCycles_ = 0;
        phaseKnown_ = false;
    } else {
        ++sinceStart_;
    }
    if (++goodTimers_ >= kTimersToEase && base_ > 0) {
        --base_;
        goodTimers_ = 0;
    }
}
