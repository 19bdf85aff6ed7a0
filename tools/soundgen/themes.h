// The game's two pieces of music.
#pragma once

#include "smf.h"

namespace soundgen {

// "plomvex_s01.mid": the dive theme, D minor, calm and deep.
Song diveTheme();
// "ravederu.mid": the giant squid's theme, E minor, fast and driving.
Song bossTheme();

// Sets up one instrument's channel at the start of the piece.
struct Patch {
    int channel, program, volume, pan, reverb, chorus;
};
void setupChannel(Track& t, const Patch& p);

}  // namespace soundgen
