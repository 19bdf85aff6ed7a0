// What the C++ side of the page calls in the page's JavaScript
// (web/library_torvenka.js and web/library_audio.js, linked with --js-library).
#pragma once
#include <cstdint>

extern "C" {
// The UTC time of day in milliseconds, from Date.
double torvenka_utc_time_of_day_ms();
// Puts a w x h frame of RGBA bytes on the canvas.
void torvenka_put_frame(const uint8_t* rgba, int w, int h);
// Calls web_woken() once performance.now() has reached `moment` (soon, if
// it has already): a timer of `delay` ms (none if 0) and a worker's of
// `workerDelay` ms (none if 0), the first of which to come back reports
// web_timer_back(), then messages the page posts to itself until the
// clock gets there. A later call replaces an earlier one.
void torvenka_wake_at(double moment, int delay, int workerDelay);
// Sets the worker's timer of `delay` ms beside the page's own timer of the
// wake-up on its way, if its timer has not come back yet.
void torvenka_wake_worker(int delay);
// Forgets the wake-up asked for last.
void torvenka_wake_cancel();
// Sizes the canvas: every game pixel an N x N block of device pixels, N
// the ?scale= of the address or the largest that fits the page.
void torvenka_fit_canvas(int w, int h);
// Calls web_title_shown() once the first frame has been painted.
void torvenka_after_first_frame();
// Makes a size x size picture of RGBA bytes the page's icon.
void torvenka_set_icon(const uint8_t* rgba, int size);
// Hands the page's pointer events (Pointer Events) to web_pointer() in
// main.cpp, in w x h game pixels, coded as the game's pointer input reads
// them (pointer_input.h): the events' kinds (down, move, up, cancel) and the
// pointers' (mouse, pen, touch), and the bits of its answer (capture, the
// game's press).
void torvenka_listen_pointers(int w, int h, int down, int move, int up, int cancel, int mouse, int pen, int touch,
                              int capture, int games);
// The diver is down (on) or the dive is over (off): the page keeps the
// screen lit while the dive lasts, folds its how-to-play away, and keeps a
// back button pressed on the game from leaving the page.
void torvenka_diving(int on);

// Dives watched again (web/library_replays.js; web/replays.h).
// The address's fragment (after '#'): its length, or -1 when the address
// has none; with `out`, at most `room` of its characters written there, and
// how many were.
int torvenka_replay_fragment(char* out, int room);
// What the page offers around a dive: kReplayWaits, a shared dive waits for
// the player's press (one line says so); kReplayPlays, a dive is being
// watched (nothing offered); kReplayPlayed or kReplayWatched, the player's
// dive or a watched one is over: its file's `size` bytes and its link's
// text, to watch again, share and save (and, after a watched one, to play
// yourself).
enum { kReplayWaits = 1, kReplayPlays = 2, kReplayPlayed = 3, kReplayWatched = 4 };
void torvenka_replays_show(int what, const uint8_t* bytes, int size, const char* link);
// A replay that cannot be played: its one line on the status line.
void torvenka_replays_say(const char* line);
// Hears files dropped on the page or picked, handing the first
// `mostBytes` + 1 bytes of one to web_watch_file().
void torvenka_listen_replays(int mostBytes);

// The page's audio on WebAudio (web/library_audio.js): only fetching,
// decoding, starting and stopping buffers; the rules are the C++ back end's
// (web/web_audio_back_end.h), which the page reports back to.
// Makes the AudioContext: 0 when the browser gives the page no audio.
int torvenka_audio_init();
// Fetches `url` and decodes it into buffer `sound`; reports web_audio_arrived
// when the bytes are in, then web_audio_decoded or web_audio_failed.
void torvenka_audio_fetch(int sound, const char* url);
// Starts buffer `sound` as `voice`, `fromMs` into it; 0 if it could not.
// Reports web_audio_ended when it has played to its end.
int torvenka_audio_start(int voice, int sound, double fromMs);
// Stops `voice`, if it still plays.
void torvenka_audio_halt(int voice);
// The AudioContext's clock in milliseconds: it stands still while the
// context is suspended (before the player's first press, on a hidden page).
double torvenka_audio_clock();
// The player has pressed on the page: the AudioContext may run.
void torvenka_audio_unlock();
// Suspends (the page is hidden) or resumes the AudioContext.
void torvenka_audio_pause(int paused);
// One line for the player in the page's status line ("" clears it).
void torvenka_audio_say(const char* text);
// One entry of the sound log for the page's watchers: a command with its
// detail (the file, or `number` when that is not NaN) and result, or a
// buffer "sounding" (its url and the position it starts from).
void torvenka_audio_report(const char* op, const char* alias, const char* detail, double number, int result);
}
