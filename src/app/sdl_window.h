// The game's one window on the desktop, through SDL: a fixed client area of
// 194 x 215 game pixels, each drawn as an N x N block, centred, black,
// composed off-screen and put on the screen in one copy through the window's
// own surface (no GL stack is loaded).
#pragma once
#include <SDL.h>

#include <optional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "loop/scheduler.h"
#include "screen/compositor.h"

// Monotonic milliseconds of our own: floor of CLOCK_MONOTONIC, wrapped to
// the game's signed 32-bit clock.
int32_t monotonicMs();
// Sleep until the monotonic millisecond clock reads `due`.
void sleepUntilMs(int32_t due);
// Seed for the dice: the UTC time of day in milliseconds.
uint32_t utcTimeOfDayMs();

class SdlPlatform : public Platform {
public:
    SdlPlatform() = default;
    ~SdlPlatform() override;
    // Opens the display and creates the (still hidden) window. On failure
    // returns false and leaves a one-line reason in error().
    // scale: every game pixel as an N x N block; unset, the desktop's own.
    bool open(const char* caption, std::optional<int> scale = std::nullopt);
    void setFont(TextRaster& font) { font_ = &font; }
    void show();
    const std::string& error() const { return error_; }
    SDL_Window* window() const { return win_; }

    int32_t clock() override { return monotonicMs(); }
    void sleepMs(int ms) override;
    bool poll(PlatformEvent& ev) override;
    bool wait(PlatformEvent& ev, std::optional<int32_t> deadline) override;
    void present(const Playfield& s) override;

    int scale() const { return scale_; }

private:
    bool translate(const SDL_Event& e, PlatformEvent& ev);
    int desktopScale();
    void setIcon();

    SDL_Window* win_ = nullptr;
    TextRaster* font_ = nullptr;
    std::vector<uint32_t> frame_;   // the game's own 194 x 215 pixels
    std::vector<uint32_t> scaled_;  // the blocks, when the window's format needs converting
    int scale_ = 1;                 // window pixels per game pixel
    int pixelsPerPoint_ = 1;        // window pixels per pointer unit (2 on a doubled Wayland output)
    std::string caption_;
    std::string error_;
    int originX_ = 0, originY_ = 0;
};
