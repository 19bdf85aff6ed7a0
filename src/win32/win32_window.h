// The game's one window on Windows: a fixed single frame with a caption bar,
// the system menu and a minimise box, a client area of 194 x 215 game
// pixels, each an N x N block, centred on the screen, black, composed
// off-screen and put on the window in one copy. Its messages become the
// loop's events; the loop waits on the message queue between steps.
#pragma once
#include <windows.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "desktop/system_clock.h"
#include "loop/scheduler.h"
#include "screen/compositor.h"

class Win32Platform : public Platform {
public:
    // font draws the playfield's texts; it must outlive the platform.
    explicit Win32Platform(TextRaster& font) : font_(font) {}
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;
    // Creates the (still hidden) window. On failure returns false and leaves
    // a one-line reason in error().
    // scale: every game pixel as an N x N block; unset, the monitor's own.
    bool open(std::optional<int> scale = std::nullopt);
    void show();
    const std::string& error() const { return error_; }

    int32_t clock() override { return monotonicMs(); }
    void sleepMs(int ms) override { sleepForMs(ms); }
    bool poll(PlatformEvent& ev) override;
    bool wait(PlatformEvent& ev, std::optional<int32_t> deadline) override;
    void present(const Playfield& f) override;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    void mouse(MouseKind kind, Button button, LPARAM lp);
    void place(UINT dpi, const RECT* suggested);
    void blit(HDC dc);
    void setIcons();
    void readOrigin();

    HWND hwnd_ = nullptr;
    HICON bigIcon_ = nullptr, smallIcon_ = nullptr;
    TextRaster& font_;
    std::vector<uint32_t> frame_;   // the game's own 194 x 215 pixels
    std::deque<PlatformEvent> events_;
    std::optional<int> chosenScale_;  // --scale N; unset: the monitor's own
    int scale_ = 1;                   // window pixels per game pixel
    bool timerRaised_ = false;        // timeBeginPeriod(1) is in force
    std::string caption_;
    std::string error_;
    int originX_ = 0, originY_ = 0;   // the client area's corner on the screen
};
