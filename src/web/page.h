// What the C++ side of the page calls in the page's JavaScript
// (web/library_torvenka.js and web/library_audio.js, linked with --js-library).
#pragma once
#include <cstdint>

extern "C" {
// The UTC time of day in milliseconds, from Date.
double torvenka_utc_time_of_day_ms();
// Puts a w x h frame of RGBA bytes on the canvas.
void torvenka_put_frame(const uint8_t* rgba, int w, int h);
// Calls web_turns() once performance.now() has reached `moment` (soon, if
// it has already); a later call replaces an earlier one.
void torvenka_wake_at(double moment);
// Forgets the wake-up asked for last.
void torvenka_wake_cancel();
// Sizes the canvas: every game pixel an N x N block of device pixels, N
// the ?scale= of the address or the largest that fits the page.
void torvenka_fit_canvas(int w, int h);
// Makes a size x size picture of RGBA bytes the page's icon.
void torvenka_set_icon(const uint8_t* rgba, int size);
// The canvas's box on the page in CSS pixels (left, top, width, height).
void torvenka_canvas_rect(double* out4);

// The two sound channels on WebAudio: the results of the sound commands.
void torvenka_audio_preload(const char* file);
void torvenka_audio_unlock();
void torvenka_audio_pause(int paused);
int torvenka_audio_open(const char* file, const char* alias);
int torvenka_audio_play(const char* alias, double fromMs);
int torvenka_audio_stop(const char* alias);
int torvenka_audio_close(const char* alias);
}
