// Where the scale of SDL's window comes from (desktop_scale.cpp).
#pragma once

struct SDL_Window;

// What the desktop the window is on declares: see scaleFromDesktop() in
// desktop/scaling.h. On a Wayland output, its scale (window pixels per point).
int desktopScaleOf(SDL_Window* window, int pixelsPerPoint);
