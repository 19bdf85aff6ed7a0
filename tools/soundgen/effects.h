// The game's four sound effects, synthesised sample by sample.
#pragma once

#include "dsp.h"

namespace soundgen {

// se1: a spare tank is opened: a valve knock, a rush of air and a stream of
// bubbles rising past the mask.
Pcm tankOpened();
// se2: a creature is defeated: a heavy body blow and a tone that falls away.
Pcm creatureDefeated();
// se3: a card is turned or the dive starts: two bright bell strikes.
Pcm chime();
// se4: the spear is swung to another colour: an air swish with a metal ring.
Pcm spearSwish();

}  // namespace soundgen
