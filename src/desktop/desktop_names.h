// The names the desktop knows the game by, in one place.
#pragma once

// The application's own name, older than the game's: players never see it,
// but the single-instance lock is named by it (one copy per user plays at a
// time), and the application's title below is the same name in capitals.
inline constexpr const char* kApplicationName = "velmo";
// The application's title: the X11 class and instance name of the window
// (the desktop file's StartupWMClass says the same).
inline constexpr const char* kWindowClass = "VELMO";
// The game's name as players know it: the window's caption until the game
// writes its own, and the name under which the desktop's sound panel lists
// the game's sound.
inline constexpr const char* kGameName = "Torvenka";
// The environment variable that gives the lock a place of its own: the
// tests' runs set it, a player never needs to.
inline constexpr const char* kLockDirVariable = "TORVENKA_LOCK_DIR";
