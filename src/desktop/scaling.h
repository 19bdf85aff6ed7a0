// Whole-number scaling for high-density screens. The game is composed at its
// own 194 x 215 pixels and every game pixel is put on the window as an
// N x N block; pointer positions are mapped back, so the rules see the
// numbers they would see at scale 1 for the same point of the picture.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "core/pointer.h"

// The largest scale, whether the desktop asks for it or the command line.
constexpr int kMaxScale = 8;

// What the desktop declares about its scale.
struct DesktopScale {
    std::optional<double> xftDpi;  // Xft.dpi from the X server's resources
    std::optional<double> gdkScale;  // GDK_SCALE from the environment
    bool xwayland = false;           // an X server inside a Wayland session
};

// The scale the desktop asks for, rounded to a whole number, from 1 to
// kMaxScale:
// Xft.dpi / 96 if set, else GDK_SCALE, else 1. Under Xwayland only Xft.dpi
// counts: a Wayland session that scales X11 windows itself tells X11
// programs 96 dpi, and one that leaves them to scale themselves says so
// through Xft.dpi; GDK_SCALE there would add a second factor on top.
int scaleFromDesktop(const DesktopScale& d);

// The scale a monitor of this many dots per inch asks for: dpi / 96,
// rounded, from 1 to kMaxScale (Windows' rule; X11's Xft.dpi is read the
// same way in scaleFromDesktop()).
int scaleFromDpi(int dpi);

// The value of Xft.dpi in the X resources text, if any.
std::optional<double> xftDpiFromResources(const char* resources);
// GDK_SCALE's value, if it is a positive number.
std::optional<double> gdkScaleFrom(const char* value);

// The largest scale at most `wanted` at which a window of the client area's
// size fits in a usable area of the screen (at least 1).
int fitScale(int wanted, int usableW, int usableH, int clientW, int clientH);

// a / n rounded toward minus infinity (a pointer left of or above the
// window maps to the game pixel left of or above it, as at scale 1).
constexpr int floorDiv(int a, int n) { return a >= 0 ? a / n : -((-a + n - 1) / n); }

// The game's pointer event for a mouse event at (x, y) in the window's
// pixels, on a window of `scale` pixels a game pixel whose client area's
// corner is at (originX, originY) on the screen: the position back in game
// pixels, as if the window were drawn at scale 1 where it stands, and the
// screen positions of the event and of the corner, which the swipes measure
// from.
PointerEvent pointerEventAt(MouseKind kind, Button button, int x, int y, int scale, int originX, int originY);

// Puts a w x h frame (0x00RRGGBB) on dst as n x n blocks: dst has room for
// w*n x h*n pixels of 32 bits, dstPitch bytes a row.
void scaleFrame(const uint32_t* src, int w, int h, int n, uint8_t* dst, int dstPitch);
