// The game's sound played through SDL2_mixer: the SDL back end of the sound
// commands (sound/command_player.h parses them). It keeps one device per
// alias: a ".mid" file becomes SDL_mixer's music stream, a ".wav" file a
// sample on a mixer channel of its own. A theme plays from its render
// (sound/theme_render.h) when the render was made from that very MIDI file;
// otherwise its MIDI file is synthesised live, and only then is the
// synthesiser set up. See docs/sound-layer.md.
//
// Nothing here throws (but std::bad_alloc, which the command player turns
// into kLoad), prints or shows anything. Every failure is only a non-zero
// result, which the game ignores.
#pragma once
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sound/back_end.h"
#include "sound/channel_rules.h"

class RenderStream;
struct Mix_Chunk;
struct _Mix_Music;

class SdlMixerBackEnd : public sound::BackEnd {
public:
    // Opens SDL's audio subsystem and the mixer (44.1 kHz, 16-bit stereo)
    // on a thread of its own, and waits at most `openWait` for it; `files`
    // says where the files the game names lie, and must outlive the back
    // end. Only one back end can hold the mixer at a time; a second one, or
    // one whose audio could not be opened, fails every operation with
    // kNoAudio, and so does this one until its device is open.
    explicit SdlMixerBackEnd(const sound::SoundFiles& files,
                             std::chrono::milliseconds openWait = std::chrono::seconds(30));
    // Closes the device within about a second, or leaves it, and a device
    // still opening, to the end of the process (leftOpen()).
    ~SdlMixerBackEnd() override;
    SdlMixerBackEnd(const SdlMixerBackEnd&) = delete;
    SdlMixerBackEnd& operator=(const SdlMixerBackEnd&) = delete;

    sound::Result open(const sound::Open& op) override;
    sound::Result play(const sound::Play& op) override;
    sound::Result stop(const sound::Stop& op) override;
    sound::Result close(const sound::Close& op) override;

    // True when the mixer is open and commands can make sound.
    bool ready() const;
    // True once a back end has left its sound device to the end of the
    // process: a sound server that does not answer kept it from opening or
    // closing in time. The process should then end without running the
    // libraries' exit handlers (std::_Exit), since SDL's audio still runs.
    static bool leftOpen();
    // Whether an alias is open (names are compared without regard to case).
    bool isOpen(const std::string& alias) const;

private:
    struct Device {
        Device();
        Device(Device&&) noexcept;
        ~Device();
        bool music = false;
        std::unique_ptr<RenderStream> render;  // music: the theme's render, when it plays that
        _Mix_Music* mus = nullptr;     // music: else the MIDI file, synthesised
        std::vector<uint8_t> bytes;    // music: the MIDI file, kept while the piece lives
        Mix_Chunk* chunk = nullptr;    // sample: the whole sound
        Mix_Chunk* tail = nullptr;     // sample: a view from a later start position
        int channel = -1;              // sample: the mixer channel of this alias
    };

    struct Opening;
    bool usable();
    void letAudioGo();
    void release(Device& d);
    int takeChannel();
    std::unique_ptr<RenderStream> openRender(const std::string& gameName, const std::vector<uint8_t>& midi) const;
    void readySynthesiser();
    static void silenceMusic();

    const sound::SoundFiles& files_;
    std::shared_ptr<Opening> opening_;       // none when another back end holds the mixer
    std::thread opener_;
    bool ready_ = false;                     // the device's format has been taken over
    bool audioLetGo_ = false;                // SDL's audio and the mixer's decoders are quit
    std::map<std::string, Device> devices_;  // by alias, in lower case
    std::vector<bool> channelInUse_;
    sound::MusicStream musicStream_;         // which alias's piece SDL_mixer's one music stream holds
    int freq_ = 0;
    uint16_t format_ = 0;
    int channels_ = 0;
    int frameBytes_ = 0;
    bool synthesiserReady_ = false;          // the MIDI synthesiser and its soundfont are set up
};
