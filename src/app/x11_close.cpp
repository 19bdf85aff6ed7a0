// Closing the window on X11. SDL wakes its own wait for events with a
// message it sends the window over a second connection to the X server, and
// it sends one for the very event that closes the game. The server takes the
// two connections in either order: when it destroys the window (asked on the
// main connection) before it delivers that message, the message fails with
// BadWindow, and the failure comes back when SDL closes the second
// connection, where Xlib's default handler prints it and exits with 1. That
// message, and only that one, is let go once the window is going.
//
// SDL keeps the X error handler it finds when it opens the display, passes
// every error on to it, and puts it back before it closes its connections;
// so ours goes in first.
//
// Kept in a file of its own, like desktop_scale.cpp: the window-system
// headers define macros that clash with the game's own names.
#include "app/x11_close.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace {

XID g_closing = 0;                   // the window being destroyed, once it is
XErrorHandler g_previous = nullptr;  // Xlib's own handler
bool g_installed = false;

int letWakeupGo(Display* display, XErrorEvent* e) {
    if (g_closing && e->error_code == BadWindow && e->request_code == X_SendEvent && e->resourceid == g_closing)
        return 0;
    return g_previous ? g_previous(display, e) : 0;
}

}  // namespace

void prepareX11Close() {
    if (g_installed) return;
    g_previous = XSetErrorHandler(letWakeupGo);
    g_installed = true;
}

void windowClosing(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
        g_closing = info.info.x11.window;
}
