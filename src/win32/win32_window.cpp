#include "win32/win32_window.h"

#include <mmsystem.h>
#include <windowsx.h>

#include <cstring>

#include "desktop/desktop_names.h"
#include "desktop/scaling.h"
#include "screen/icon.h"
#include "desktop/wide.h"

namespace {

// A fixed single frame: caption, system menu, minimise box; no maximise
// box, no sizing border.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = 0;

// Windows 10's DPI calls, looked up so that an older system still runs the
// game at scale 1.
UINT dpiOfWindow(HWND hwnd) {
    using Fn = UINT(WINAPI*)(HWND);
    static const Fn fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = fn ? fn(hwnd) : 0;
    return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The frame around a client area at this DPI.
RECT frameAround(int clientW, int clientH, UINT dpi) {
    using Fn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const Fn fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    RECT r{0, 0, clientW, clientH};
    if (!fn || !fn(&r, kStyle, FALSE, kExStyle, dpi)) AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
    return r;
}

// The icon at size x size, from the same drawing as every other icon of the
// game, its alpha kept.
HICON makeIcon(int size) {
    const RgbaImage image = iconAt(size);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = image.w;
    bi.bmiHeader.biHeight = -image.h;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!color) return nullptr;
    std::memcpy(bits, image.px.data(), image.px.size() * sizeof(uint32_t));
    const std::vector<uint8_t> clear(static_cast<size_t>((image.w + 15) / 16 * 2) * image.h, 0);
    HBITMAP mask = CreateBitmap(image.w, image.h, 1, 1, clear.data());
    ICONINFO info{TRUE, 0, 0, mask, color};
    HICON icon = mask ? CreateIconIndirect(&info) : nullptr;
    if (mask) DeleteObject(mask);
    DeleteObject(color);
    return icon;
}

}  // namespace

Win32Platform::~Win32Platform() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
    UnregisterClassW(wideFromUtf8(kWindowClass).c_str(), GetModuleHandleW(nullptr));
    if (timerRaised_) timeEndPeriod(1);
}

bool Win32Platform::open(std::optional<int> scale) {
    // The system's timer ticks every millisecond while the game runs, so
    // the waits between steps and the 1 ms sleep that ends each keep the
    // step's 30 + 1 ms (by default a tick is 15.6 ms).
    timerRaised_ = timeBeginPeriod(1) == TIMERR_NOERROR;
    // The sleeps choose their wait now, at that resolution, rather than in
    // the dive's first step.
    sleepForMs(0);
    chosenScale_ = scale;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const std::wstring className = wideFromUtf8(kWindowClass);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = className.c_str();
    if (!RegisterClassExW(&wc)) {
        error_ = "cannot register the window class (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    caption_ = kGameName;
    hwnd_ = CreateWindowExW(kExStyle, className.c_str(), wideFromUtf8(caption_).c_str(), kStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, kClientW, kClientH, nullptr, nullptr, instance, this);
    if (!hwnd_) {
        error_ = "cannot create the window (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    setIcons();
    frame_.assign(static_cast<size_t>(kClientW) * kClientH, 0);
    place(dpiOfWindow(hwnd_), nullptr);
    return true;
}

// Sizes the window for this DPI (the monitor's scale, unless the command
// line chose one) and puts it centred on its monitor's work area, or, when
// the DPI changes as it moves, where the system suggests.
void Win32Platform::place(UINT dpi, const RECT* suggested) {
    HMONITOR monitor = suggested ? MonitorFromRect(suggested, MONITOR_DEFAULTTONEAREST)
                                 : MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(monitor, &mi);
    const RECT work = mi.rcWork;
    const RECT frame = frameAround(0, 0, dpi);
    const int frameW = frame.right - frame.left, frameH = frame.bottom - frame.top;
    if (chosenScale_) {
        scale_ = *chosenScale_;
    } else {
        // The monitor's own scale, but never a window larger than its work area.
        scale_ = fitScale(scaleFromDpi(static_cast<int>(dpi)), work.right - work.left - frameW,
                          work.bottom - work.top - frameH, kClientW, kClientH);
    }
    const int w = kClientW * scale_ + frameW, h = kClientH * scale_ + frameH;
    const int x = suggested ? suggested->left : work.left + (work.right - work.left - w) / 2;
    const int y = suggested ? suggested->top : work.top + (work.bottom - work.top - h) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    // Should the frame come out another size than asked, the client area
    // still gets exactly its blocks.
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int dw = kClientW * scale_ - client.right, dh = kClientH * scale_ - client.bottom;
    if (dw || dh) SetWindowPos(hwnd_, nullptr, 0, 0, w + dw, h + dh, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    readOrigin();
}

// The octopus icon on the caption bar and the task bar.
void Win32Platform::setIcons() {
    bigIcon_ = makeIcon(GetSystemMetrics(SM_CXICON));
    smallIcon_ = makeIcon(GetSystemMetrics(SM_CXSMICON));
    if (bigIcon_) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    if (smallIcon_) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

void Win32Platform::show() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    readOrigin();
}

void Win32Platform::readOrigin() {
    POINT corner{0, 0};
    if (IsIconic(hwnd_) || !ClientToScreen(hwnd_, &corner)) return;
    originX_ = corner.x;
    originY_ = corner.y;
}

LRESULT CALLBACK Win32Platform::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Win32Platform*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->handle(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

void Win32Platform::mouse(MouseKind kind, Button button, LPARAM lp) {
    // A drag that left the window (the capture holds it) gives positions
    // outside it, negative ones too.
    PlatformEvent ev;
    ev.type = PlatformEvent::Pointer;
    ev.pointer = pointerEventAt(kind, button, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), scale_, originX_, originY_);
    events_.push_back(ev);
}

LRESULT Win32Platform::handle(UINT msg, WPARAM wp, LPARAM lp) {
    constexpr WPARAM kButtons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
    auto press = [&](Button b) {
        SetCapture(hwnd_);  // the drag is followed outside the window
        mouse(MouseKind::Down, b, lp);
        return 0;
    };
    auto release = [&](Button b) {
        mouse(MouseKind::Up, b, lp);
        if (!(wp & kButtons)) ReleaseCapture();
        return 0;
    };
    switch (msg) {
        case WM_CLOSE: events_.push_back({PlatformEvent::Quit, {}}); return 0;
        case WM_QUERYENDSESSION: return TRUE;
        case WM_ENDSESSION:
            if (wp) events_.push_back({PlatformEvent::Quit, {}});
            return 0;
        case WM_ERASEBKGND: return 1;  // every pixel of the client area is drawn
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            blit(dc);
            EndPaint(hwnd_, &ps);
            events_.push_back({PlatformEvent::Expose, {}});
            return 0;
        }
        case WM_MOVE: readOrigin(); return 0;
        case WM_DPICHANGED:
            place(HIWORD(wp), reinterpret_cast<const RECT*>(lp));
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case WM_MOUSEMOVE: mouse(MouseKind::Move, Button::Left, lp); return 0;
        case WM_LBUTTONDOWN: return press(Button::Left);
        case WM_RBUTTONDOWN: return press(Button::Right);
        case WM_MBUTTONDOWN: return press(Button::Middle);
        case WM_LBUTTONUP: return release(Button::Left);
        case WM_RBUTTONUP: return release(Button::Right);
        case WM_MBUTTONUP: return release(Button::Middle);
        // The side buttons and the wheel do nothing.
        case WM_XBUTTONDOWN:
        case WM_XBUTTONUP:
        case WM_XBUTTONDBLCLK: return TRUE;
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL: return 0;
        default: return DefWindowProcW(hwnd_, msg, wp, lp);
    }
}

bool Win32Platform::poll(PlatformEvent& ev) {
    for (;;) {
        if (!events_.empty()) {
            ev = events_.front();
            events_.pop_front();
            return true;
        }
        MSG m;
        if (!PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) return false;
        if (m.message == WM_QUIT) {
            events_.push_back({PlatformEvent::Quit, {}});
            continue;
        }
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

bool Win32Platform::wait(PlatformEvent& ev, std::optional<int32_t> deadline) {
    for (;;) {
        if (poll(ev)) return true;
        if (!deadline) {
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        const int32_t remaining = elapsedMs(*deadline, monotonicMs());
        if (remaining <= 0) return false;
        if (remaining > 2) {
            // Wait for messages until a millisecond or two before the gate
            // (the wait's timeout keeps only to the timer's ticks)...
            MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(remaining - 2), QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE);
            continue;
        }
        // ...then sleep precisely to the instant the gate opens.
        sleepUntilMs(*deadline);
        return false;
    }
}

void Win32Platform::blit(HDC dc) {
    if (frame_.empty()) return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kClientW;
    bi.bmiHeader.biHeight = -kClientH;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    // Each game pixel an N x N block, sampled nearest, in one copy.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, kClientW * scale_, kClientH * scale_, 0, 0, kClientW, kClientH, frame_.data(), &bi,
                  DIB_RGB_COLORS, SRCCOPY);
}

void Win32Platform::present(const Playfield& f) {
    if (f.caption() != caption_) {
        caption_ = f.caption();
        SetWindowTextW(hwnd_, wideFromUtf8(caption_).c_str());
    }
    compose(f, font_, frame_.data(), kClientW);
    HDC dc = GetDC(hwnd_);
    if (!dc) return;
    blit(dc);
    ReleaseDC(hwnd_, dc);
}
