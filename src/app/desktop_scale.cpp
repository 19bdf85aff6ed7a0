// Kept in a file of its own: the window-system headers define macros (None,
// Expose, Bool, ...) that clash with the game's own names.
// The game's headers come first, before those macros exist.
#include "app/desktop_scale.h"
#include "desktop/scaling.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdlib>

int desktopScaleOf(SDL_Window* window, int pixelsPerPoint) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info)) return 1;
    if (info.subsystem == SDL_SYSWM_WAYLAND) return pixelsPerPoint;  // the output's own scale
    if (info.subsystem != SDL_SYSWM_X11) return 1;
    DesktopScale d;
    d.xftDpi = xftDpiFromResources(XResourceManagerString(info.info.x11.display));
    d.gdkScale = gdkScaleFrom(std::getenv("GDK_SCALE"));
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    d.xwayland = wayland && *wayland;
    return scaleFromDesktop(d);
}
