// The clocks on Windows: the performance counter for the game's clock, and
// the system time for the time of day. The sleeps take whichever of two
// waits keeps closer to the time asked for on this system, tried once: a
// waitable timer (a high-resolution one where the system has it, which
// Windows 10 keeps to a fraction of a millisecond) or the kernel's own
// delay (which keeps to the 1 ms timer resolution the window asks for while
// the game runs, and which wine keeps far closer than its timers).
#include <windows.h>

#include "core/clock.h"
#include "desktop/system_clock.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

int64_t counterFrequency() {
    static const int64_t f = [] {
        LARGE_INTEGER q;
        QueryPerformanceFrequency(&q);
        return q.QuadPart;
    }();
    return f;
}

int64_t counterNow() {
    LARGE_INTEGER q;
    QueryPerformanceCounter(&q);
    return q.QuadPart;
}

// Whole milliseconds since the counter's start.
uint64_t counterMs(int64_t count) {
    const int64_t f = counterFrequency();
    return static_cast<uint64_t>(count / f) * 1000u + static_cast<uint64_t>(count % f * 1000 / f);
}

// The thread's sleep timer, made on first use.
HANDLE sleepTimer() {
    thread_local HANDLE timer = [] {
        HANDLE t = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
        if (!t) t = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        return t;
    }();
    return timer;
}

// A sleep of a number of 100 ns units on the thread's timer.
void timerSleep(int64_t units) {
    HANDLE t = sleepTimer();
    LARGE_INTEGER due;
    due.QuadPart = -units;  // negative: relative to now
    if (t && SetWaitableTimer(t, &due, 0, nullptr, nullptr, FALSE)) {
        WaitForSingleObject(t, INFINITE);
        return;
    }
    Sleep(static_cast<DWORD>((units + 9999) / 10000));
}

// The same through the kernel's delay.
void delaySleep(int64_t units) {
    using Fn = LONG(NTAPI*)(BOOLEAN, PLARGE_INTEGER);
    static const Fn delay = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDelayExecution")));
    LARGE_INTEGER interval;
    interval.QuadPart = -units;
    if (!delay || delay(FALSE, &interval) != 0) Sleep(static_cast<DWORD>((units + 9999) / 10000));
}

using SleepFn = void (*)(int64_t);

// How long, in counts, five sleeps of 1 ms take.
int64_t fiveSleeps(SleepFn sleep) {
    const int64_t start = counterNow();
    for (int i = 0; i < 5; ++i) sleep(10000);
    return counterNow() - start;
}

// Sleeps for a number of 100 ns units, the first call choosing how.
void sleepHundredsOfNs(int64_t units) {
    static const SleepFn chosen = fiveSleeps(delaySleep) < fiveSleeps(timerSleep) ? delaySleep : timerSleep;
    if (units > 0) chosen(units);
}

}  // namespace

int32_t monotonicMs() { return clockFromMs(counterMs(counterNow())); }

void sleepForMs(int ms) { sleepHundredsOfNs(int64_t{ms} * 10000); }

void sleepUntilMs(int32_t due) {
    // Until the counter reaches the instant the millisecond clock turns to
    // `due`; a timer that wakes a little early is set again for the rest.
    for (;;) {
        const int64_t now = counterNow();
        const int32_t remaining = elapsedMs(due, clockFromMs(counterMs(now)));
        if (remaining <= 0) return;
        const int64_t f = counterFrequency();
        const uint64_t targetMs = counterMs(now) + static_cast<uint64_t>(remaining);
        // The first count at or after targetMs milliseconds.
        const int64_t target =
            static_cast<int64_t>(targetMs / 1000u) * f + (static_cast<int64_t>(targetMs % 1000u) * f + 999) / 1000;
        sleepHundredsOfNs(((target - now) * 10000000 + f - 1) / f);
    }
}

uint32_t utcTimeOfDayMs() {
    SYSTEMTIME t;
    GetSystemTime(&t);
    return ((uint32_t{t.wHour} * 60u + t.wMinute) * 60u + t.wSecond) * 1000u + t.wMilliseconds;
}
