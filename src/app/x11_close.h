// The window's last moments on X11 (x11_close.cpp): SDL's own wake-up
// message, sent to the window as it goes, must not end the game with an X
// error.
#pragma once
#include <SDL.h>

// Before SDL's video starts: puts in the X error handler that SDL keeps and
// returns to.
void prepareX11Close();
// Just before the window is destroyed: from now on a wake-up message that
// finds it gone is no error.
void windowClosing(SDL_Window* window);
