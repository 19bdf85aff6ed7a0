// The page that ships: nobody watches the loop.
#include "web/page_watch.h"

std::unique_ptr<LoopObserver> watchPage(Scheduler&) { return nullptr; }

void watchPointer(const PointerEvent&) {}
