// The hook the browser tests and the bench watch the page through. Only the
// test build of the page (page-watched/, linked with page_watch.cpp and
// library_watch.js) has a real one; the page that ships links
// no_page_watch.cpp, and its loop runs unwatched.
#pragma once
#include <memory>

#include "loop/scheduler.h"

// Hangs the page's watcher on the loop and returns it (keep it alive while
// the loop runs); nullptr in the page that ships.
std::unique_ptr<LoopObserver> watchPage(Scheduler& loop);
// A pointer event handed to the game (the test build keeps the presses, so
// a test can count the clicks a gesture made).
void watchPointer(const PointerEvent& p);

// The test build's JavaScript side (library_watch.js), which keeps what it
// is told in window.torvenkaWatch.
extern "C" {
// A step has run: its phase and the gauges after it, the lanes by name.
void torvenka_watch_step(const char* phase, int diveTick, int life, int oxygen, int tanks, const char* lane,
                         int dealNo, int enemyActive, const char* enemyLane, int striking);
// A press or release handed to the game: "down" or "up", "left", "right"
// or "middle", in game pixels.
void torvenka_watch_press(const char* kind, const char* button, int x, int y);
// A wish of the scripted diver, made after the step of diveTick: "click",
// "swipe" or "move", in game pixels (a click or a move has x1 = x0, y1 = y0).
void torvenka_watch_wish(int diveTick, const char* op, int x0, int y0, int x1, int y1);
// A number the test asked for in the page's address (?name=N), or 0.
int torvenka_watch_asked(const char* name);
// The first frame has reached the canvas.
void torvenka_watch_first_frame();
}
