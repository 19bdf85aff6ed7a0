#include "app/sdl_window.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/desktop_scale.h"
#include "app/x11_close.h"
#include "desktop/desktop_names.h"
#include "desktop/scaling.h"
#include "screen/icon.h"

SdlPlatform::~SdlPlatform() {
    windowClosing(win_);
    if (win_) SDL_DestroyWindow(win_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlPlatform::open(std::optional<int> scale) {
    setenv("SDL_VIDEO_X11_WMCLASS", kWindowClass, 1);
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    prepareX11Close();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error_ = std::string("cannot open a display: ") + SDL_GetError();
        return false;
    }
    // SDL falls back to drawing into memory when there is no desktop; a
    // window nobody can see is no game.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) {
        error_ = "cannot open a display: no X11 or Wayland desktop found (is DISPLAY set?)";
        return false;
    }
    // Under Wayland the window is measured in the desktop's points and its
    // surface in pixels; X11 has only pixels.
    win_ = SDL_CreateWindow(kGameName, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kClientW, kClientH,
                            SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!win_) {
        error_ = std::string("cannot create the window: ") + SDL_GetError();
        return false;
    }
    int pw = kClientW, ph = kClientH;
    SDL_GetWindowSizeInPixels(win_, &pw, &ph);
    pixelsPerPoint_ = pw >= 2 * kClientW ? pw / kClientW : 1;
    if (scale) {
        scale_ = *scale;
    } else {
        scale_ = desktopScale();
    }
    if (scale_ != 1 || pixelsPerPoint_ != 1) {
        // The window's size in points, so that its pixels hold whole blocks.
        const int pointsW = (kClientW * scale_ + pixelsPerPoint_ - 1) / pixelsPerPoint_;
        const int pointsH = (kClientH * scale_ + pixelsPerPoint_ - 1) / pixelsPerPoint_;
        SDL_SetWindowSize(win_, pointsW, pointsH);
        SDL_SetWindowPosition(win_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    setIcon();
    caption_ = kGameName;
    frame_.assign(static_cast<size_t>(kClientW) * kClientH, 0);
    return true;
}

// The desktop's own scale, but never a window larger than the screen.
int SdlPlatform::desktopScale() {
    const int wanted = desktopScaleOf(win_, pixelsPerPoint_);
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(SDL_GetWindowDisplayIndex(win_), &usable) != 0) return wanted;
    return fitScale(wanted, usable.w * pixelsPerPoint_, usable.h * pixelsPerPoint_, kClientW, kClientH);
}

// The octopus icon the desktop shows for the window (_NET_WM_ICON on X11),
// the same drawing as the installed icons.
void SdlPlatform::setIcon() {
    const RgbaImage icon = iconAt(64);
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(icon.px.data()), icon.w, icon.h, 32,
                                                        icon.w * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return;
    SDL_SetWindowIcon(win_, s);
    SDL_FreeSurface(s);
}

void SdlPlatform::show() {
    SDL_ShowWindow(win_);
    SDL_GetWindowPosition(win_, &originX_, &originY_);
}

bool SdlPlatform::translate(const SDL_Event& e, PlatformEvent& ev) {
    auto mouse = [&](MouseKind k, Button b, int x, int y) {
        // From the window's points to its pixels, then to the game's own.
        ev.type = PlatformEvent::Pointer;
        ev.pointer = pointerEventAt(k, b, x * pixelsPerPoint_, y * pixelsPerPoint_, scale_, originX_, originY_);
        return true;
    };
    auto button = [](Uint8 b) {
        return b == SDL_BUTTON_LEFT ? Button::Left : b == SDL_BUTTON_RIGHT ? Button::Right : Button::Middle;
    };
    switch (e.type) {
        case SDL_QUIT:
            ev.type = PlatformEvent::Quit;
            return true;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE: ev.type = PlatformEvent::Quit; return true;
                case SDL_WINDOWEVENT_MOVED:
                    SDL_GetWindowPosition(win_, &originX_, &originY_);
                    return false;
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SHOWN:
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    ev.type = PlatformEvent::Expose;
                    return true;
                default: return false;
            }
        case SDL_MOUSEMOTION:
            if (e.motion.which == SDL_TOUCH_MOUSEID) return false;
            return mouse(MouseKind::Move, Button::Left, e.motion.x, e.motion.y);
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.which == SDL_TOUCH_MOUSEID) return false;
            return mouse(MouseKind::Down, button(e.button.button), e.button.x, e.button.y);
        case SDL_MOUSEBUTTONUP:
            if (e.button.which == SDL_TOUCH_MOUSEID) return false;
            return mouse(MouseKind::Up, button(e.button.button), e.button.x, e.button.y);
        default: return false;
    }
}

bool SdlPlatform::poll(PlatformEvent& ev) {
    SDL_Event e;
    while (SDL_PollEvent(&e))
        if (translate(e, ev)) return true;
    return false;
}

bool SdlPlatform::wait(PlatformEvent& ev, std::optional<int32_t> deadline) {
    SDL_Event e;
    for (;;) {
        if (!deadline) {
            if (SDL_WaitEvent(&e) && translate(e, ev)) return true;
            continue;
        }
        const int32_t remaining = elapsedMs(*deadline, monotonicMs());
        if (remaining <= 0) return false;
        if (remaining > 1) {
            // Wait for events until about a millisecond before the gate...
            if (SDL_WaitEventTimeout(&e, remaining - 1) && translate(e, ev)) return true;
            continue;
        }
        // ...then sleep precisely to the instant the gate opens.
        sleepUntilMs(*deadline);
        return false;
    }
}

void SdlPlatform::present(const Playfield& s) {
    if (s.caption() != caption_) {
        caption_ = s.caption();
        SDL_SetWindowTitle(win_, caption_.c_str());
    }
    compose(s, font_, frame_.data(), kClientW);
    SDL_Surface* surf = SDL_GetWindowSurface(win_);
    if (!surf) return;
    // Whole blocks only: the largest block size that fits the surface.
    const int n = std::max(1, std::min(surf->w / kClientW, surf->h / kClientH));
    const int w = std::min(surf->w, kClientW * n), h = std::min(surf->h, kClientH * n);
    if (SDL_MUSTLOCK(surf)) SDL_LockSurface(surf);
    if (surf->format->format == SDL_PIXELFORMAT_RGB888 && w == kClientW * n && h == kClientH * n) {
        scaleFrame(frame_.data(), kClientW, kClientH, n, static_cast<uint8_t*>(surf->pixels), surf->pitch);
    } else {
        scaled_.resize(static_cast<size_t>(kClientW) * n * kClientH * n);
        scaleFrame(frame_.data(), kClientW, kClientH, n, reinterpret_cast<uint8_t*>(scaled_.data()), kClientW * n * 4);
        SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_RGB888, scaled_.data(), kClientW * n * 4, surf->format->format,
                          surf->pixels, surf->pitch);
    }
    if (SDL_MUSTLOCK(surf)) SDL_UnlockSurface(surf);
    SDL_UpdateWindowSurface(win_);
}
