// The desktop's clocks: the monotonic millisecond clock the loop paces the
// game by, its sleeps, and the time of day that seeds the dice. One file per
// platform implements them (posix_clock.cpp here).
#pragma once
#include <cstdint>

// Monotonic milliseconds of our own, wrapped to the game's signed 32-bit
// clock (see core/clock.h).
int32_t monotonicMs();
// Sleep for ms milliseconds.
void sleepForMs(int ms);
// Sleep until the monotonic millisecond clock reads `due`.
void sleepUntilMs(int32_t due);
// Seed for the dice: the UTC time of day in milliseconds,
// ((h * 60 + m) * 60 + s) * 1000 + ms.
uint32_t utcTimeOfDayMs();
