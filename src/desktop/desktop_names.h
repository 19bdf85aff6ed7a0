// The names the desktop knows the game by, in one place.
#pragma once
#include <array>
#include <cstddef>

#include "core/texts.h"

// The application's own name, older than the game's: players never see it,
// but the single-instance lock is named by it (one copy per user plays at a
// time), and the application's title below is the same name in capitals.
// The build reads it from here too, for the desktop file's StartupWMClass
// (cmake/packaging.cmake), so it stays one plain string on one line.
inline constexpr char kApplicationName[] = "velmo";

// A name in capitals (ASCII letters only: the names here are plain words).
template <std::size_t N>
constexpr std::array<char, N> inCapitals(const char (&name)[N]) {
    std::array<char, N> out{};
    for (std::size_t i = 0; i < N; ++i) out[i] = name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 'a' + 'A') : name[i];
    return out;
}
inline constexpr auto kWindowClassChars = inCapitals(kApplicationName);
// The application's title: the X11 class and instance name of the window
// (the desktop file's StartupWMClass says the same).
inline constexpr const char* kWindowClass = kWindowClassChars.data();

// The game's name as players know it (kGameName, core/texts.h) is the
// window's first caption, and the name under which the desktop's sound
// panel lists the game's sound.

// The environment variable that gives the lock a place of its own: the
// tests' runs set it, a player never needs to.
inline constexpr const char* kLockDirVariable = "TORVENKA_LOCK_DIR";
