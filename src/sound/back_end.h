// What plays the sound: a back end carries out the typed operations of
// sound/command_parser.h on real audio (SDL_mixer on the desktop), or only
// records them (the tests). CommandPlayer (sound/command_player.h) turns the
// game's command strings into calls of a back end.
#pragma once
#include <string>

#include "sound/command_parser.h"

namespace sound {

// The result of an operation, and of CommandSink::send. The game ignores
// every one of them; the tests read them. A failure leaves the open aliases
// as they were.
enum Result : int {
    kOk = 0,
    kNoAudio = 1,  // there is no audio device: nothing will sound
    kSyntax = 2,   // the command did not parse
    kAlias = 3,    // the alias is already open (open) or not open (play, stop, close)
    kLoad = 4,     // the file is missing, unreadable, of an unknown kind or broken, or memory ran out
    kPlay = 5,     // the device refused to start the sound, or the position is past its end
};

class BackEnd {
public:
    virtual ~BackEnd() = default;
    // Aliases arrive in lower case. None of these may throw anything but
    // std::bad_alloc.
    virtual Result open(const Open& op) = 0;
    virtual Result play(const Play& op) = 0;
    virtual Result stop(const Stop& op) = 0;
    virtual Result close(const Close& op) = 0;
};

// The device of an open alias, for play, stop and close, from a back end's
// devices by alias (a map from the alias in lower case): kNoAudio when the
// back end has nothing to sound on, kAlias when the alias is not open, else
// kOk with `device` set.
template <class Devices>
Result findOpen(bool ready, Devices& devices, const std::string& alias, typename Devices::mapped_type*& device) {
    if (!ready) return kNoAudio;
    const auto it = devices.find(alias);
    if (it == devices.end()) return kAlias;
    device = &it->second;
    return kOk;
}

// Where the sound files that the game names ("dat/se1.wav", always with '/')
// are found on this machine. Each front end gives its back end one.
class SoundFiles {
public:
    virtual ~SoundFiles() = default;
    virtual std::string locate(const std::string& gameName) const = 0;
};

}  // namespace sound
