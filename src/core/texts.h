// The texts the game writes, apart from the ones its catalogue and its
// creature table hold.
#pragma once
#include <string>
#include <vector>

// The game's name as players know it: the window's caption until the dive is
// won.
inline constexpr char kGameName[] = "Torvenka";
// The window's caption once the dive is won.
inline constexpr char kClearCaption[] = "☆☆ クリア ☆☆";

// Every text the core can put on the playfield or in the window's caption:
// the catalogue's labels as designed, the creature names, the characters a
// value is written with, and both captions. A font for the game must hold
// every character of these.
std::vector<std::string> everyGameText();
