// The clocks on POSIX: CLOCK_MONOTONIC for the game's clock and its sleeps,
// CLOCK_REALTIME for the time of day.
#include <cerrno>
#include <ctime>

#include "desktop/system_clock.h"
#include "core/clock.h"

int32_t monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return clockFromMs(static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

void sleepForMs(int ms) {
    timespec t{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&t, &t) == -1 && errno == EINTR) {
    }
}

void sleepUntilMs(int32_t due) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const int32_t remaining = elapsedMs(due, monotonicMs());
    if (remaining <= 0) return;
    // The instant the millisecond clock turns to `due`: the start of the
    // current millisecond plus the whole milliseconds still to go.
    const uint64_t nowNs = static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
    const uint64_t target = (nowNs / 1000000u + static_cast<uint64_t>(remaining)) * 1000000u;
    timespec t{};
    t.tv_sec = static_cast<time_t>(target / 1000000000u);
    t.tv_nsec = static_cast<long>(target % 1000000000u);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
    }
}

uint32_t utcTimeOfDayMs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const uint64_t secOfDay = static_cast<uint64_t>(ts.tv_sec) % 86400u;
    return static_cast<uint32_t>(secOfDay * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}
