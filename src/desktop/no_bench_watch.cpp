// The game's own build: nobody watches the loop.
#include "desktop/bench_watch.h"

std::unique_ptr<LoopObserver> watchForBench(Scheduler&) { return nullptr; }
