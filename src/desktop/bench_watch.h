// The hook scripts/bench measures the game through. Only the bench build
// (cmake -DTORVENKA_BENCH=ON) has a real one; the game's own build gets
// nothing here and its loop runs unwatched.
#pragma once
#include <memory>

#include "loop/scheduler.h"

// Reads the bench's settings from the environment and, if any is set,
// returns the observer to hang on the loop (keep it alive while it runs).
std::unique_ptr<LoopObserver> watchForBench(Scheduler& loop);
