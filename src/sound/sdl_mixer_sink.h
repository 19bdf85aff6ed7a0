// The game's sound commands played through SDL2_mixer. The game speaks in
// short text commands ("open \"dat/se1.wav\" alias se1", "play se1 from 0
// notify", "stop se1", "close se1"); this layer keeps one device per alias:
// a ".mid" file becomes SDL_mixer's music stream, a ".wav" file a sample on a
// mixer channel of its own. See docs/sound-layer.md.
//
// Nothing here throws, prints or shows anything. Every failure is only a
// non-zero result, which the game ignores.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sound/commands.h"

struct Mix_Chunk;
struct _Mix_Music;

class SdlMixerSink : public CommandSink {
public:
    // Results of send(). Every failure leaves the open aliases as they were.
    enum Result : int {
        kOk = 0,
        kNoAudio = 1,   // the mixer could not be opened: nothing will sound
        kSyntax = 2,    // unknown or malformed command
        kAlias = 3,     // alias already open (open) or not open (play, stop, close)
        kLoad = 4,      // the file is missing, unreadable, of an unknown kind or broken
        kPlay = 5,      // the mixer refused to start the sound, or the position is past its end
    };

    // Opens SDL's audio subsystem and the mixer (44.1 kHz, 16-bit stereo).
    // Only one sink can hold the mixer at a time; a second one, or one whose
    // audio could not be opened, fails every command with kNoAudio.
    SdlMixerSink();
    ~SdlMixerSink() override;
    SdlMixerSink(const SdlMixerSink&) = delete;
    SdlMixerSink& operator=(const SdlMixerSink&) = delete;

    int send(const std::string& command) override;

    // True when the mixer is open and commands can make sound.
    bool ready() const { return ready_; }
    // Whether an alias is open (names are compared without regard to case).
    bool isOpen(const std::string& alias) const;

    // The soundfont used when neither SDL_SOUNDFONTS nor SDL_mixer's own
    // setting names one that exists.
    static constexpr const char* kFallbackSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

private:
    struct Device {
        bool music = false;
        _Mix_Music* mus = nullptr;     // music: the loaded piece
        std::vector<uint8_t> bytes;    // music: the file, kept while the piece lives
        Mix_Chunk* chunk = nullptr;    // sample: the whole sound
        Mix_Chunk* tail = nullptr;     // sample: a view from a later start position
        int channel = -1;              // sample: the mixer channel of this alias
    };

    int run(const std::string& command);
    int open(const std::string& path, const std::string& alias);
    int play(const std::string& alias, uint32_t fromMs);
    int stop(const std::string& alias);
    int close(const std::string& alias);
    void release(Device& d);
    int takeChannel();

    bool ready_ = false;
    std::map<std::string, Device> devices_;  // by lower-case alias
    std::vector<bool> channelInUse_;
    std::string musicOwner_;                 // alias whose piece was last started
    int freq_ = 0;
    int frameBytes_ = 0;
};
