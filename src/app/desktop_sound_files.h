// Where the desktop finds the game's sound files: where the game names them,
// "dat/se1.wav" relative to the current directory.
#pragma once
#include <string>

#include "sound/back_end.h"

class DesktopSoundFiles : public sound::SoundFiles {
public:
    std::string locate(const std::string& gameName) const override { return gameName; }
};
