// The channel rules every back end keeps, in plain C++: what a file the game
// names is played as, and the one music stream that the pieces share. The
// desktop's SDL_mixer back end and the page's WebAudio back end both go by
// these, so the game sounds the same on either.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace sound {

// What a file is played as, by its extension as the game names it, in any
// case: ".mid" is a piece of music, ".wav" an effect, anything else is not
// played at all. The extension is that of the last part of the path, and a
// name that only starts with a dot (".wav") has none.
enum class FileKind { kMusic, kEffect, kUnknown };
FileKind fileKind(const std::string& gameName);

// A standard MIDI file: the "MThd" header chunk, then chunks that all fit in
// the file, at least one of them an "MTrk" track. A synthesiser would accept
// anything and only fail (and complain) once playing, so a file that is not
// a MIDI file is turned away at the door.
bool looksLikeMidi(const std::vector<uint8_t>& bytes);
// A RIFF WAVE file, by its header.
bool looksLikeWave(const std::vector<uint8_t>& bytes);

// The one music stream. Every music alias plays on it: starting a piece cuts
// off the piece of any other alias, and stopping an alias silences the
// stream only if it was that alias's piece that was started last.
class MusicStream {
public:
    // `alias` starts its piece. Returns the alias whose piece that cuts
    // off, or an empty string when there is none (or it was `alias`'s own).
    std::string take(const std::string& alias);
    // Whether the piece of `alias` was the last one started.
    bool heldBy(const std::string& alias) const { return !owner_.empty() && owner_ == alias; }
    // `alias` is stopped or closed: the stream is free if it held it. True
    // when it did, and the piece on the stream is to be silenced.
    bool release(const std::string& alias);

private:
    std::string owner_;
};

}  // namespace sound
