// The game's one window on the desktop, through SDL: a fixed client area of
// 194 x 215 game pixels, each drawn as an N x N block, centred, black,
// composed off-screen and put on the screen in one copy through the window's
// own surface (no GL stack is loaded).
#pragma once
#include <SDL.h>

#include <optional>
#include <string>
#include <vector>

#include "desktop/system_clock.h"
#include "loop/scheduler.h"
#include "screen/compositor.h"

class SdlPlatform : public Platform {
public:
    // font draws the playfield's texts; it must outlive the platform.
    explicit SdlPlatform(TextRaster& font) : font_(font) {}
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;
    // Opens the display and creates the (still hidden) window. On failure
    // returns false and leaves a one-line reason in error().
    // scale: every game pixel as an N x N block; unset, the desktop's own.
    bool open(std::optional<int> scale = std::nullopt);
    void show();
    const std::string& error() const { return error_; }

    int32_t clock() override { return monotonicMs(); }
    void sleepMs(int ms) override { sleepForMs(ms); }
    bool poll(PlatformEvent& ev) override;
    bool wait(PlatformEvent& ev, std::optional<int32_t> deadline) override;
    void present(const Playfield& s) override;

private:
    bool translate(const SDL_Event& e, PlatformEvent& ev);
    int desktopScale();
    void setIcon();

    SDL_Window* win_ = nullptr;
    TextRaster& font_;
    std::vector<uint32_t> frame_;   // the game's own 194 x 215 pixels
    std::vector<uint32_t> scaled_;  // the blocks, when the window's format needs converting
    int scale_ = 1;                 // window pixels per game pixel
    int pixelsPerPoint_ = 1;        // window pixels per pointer unit (2 on a doubled Wayland output)
    std::string caption_;
    std::string error_;
    int originX_ = 0, originY_ = 0;
};
