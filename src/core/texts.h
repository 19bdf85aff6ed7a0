// The texts the game writes, apart from the ones its catalogue and its
// creature table hold.
#pragma once

// The window's caption once the dive is won.
inline constexpr char kClearCaption[] = "☆☆ クリア ☆☆";
