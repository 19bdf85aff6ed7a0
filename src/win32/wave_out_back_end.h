// The game's sound on Windows: the back end of the sound commands
// (sound/command_player.h parses them). The effects (WAV files) and the
// themes' renders (decoded by stb_vorbis) are mixed by our own code
// (win32/pcm_mix.h) and fed to waveOut from a thread of their own. A theme
// whose render does not stand for its MIDI file (sound/theme_render.h) is
// played by Windows' own MIDI sequencer through the multimedia layer's
// string commands, as the game's commands always meant.
//
// Nothing here throws (but std::bad_alloc, which the command player turns
// into kLoad), prints or shows anything: no device, a device that goes away,
// a missing or broken file only mean silence, as a non-zero result that the
// game ignores.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sound/back_end.h"
#include "sound/channel_rules.h"
#include "win32/pcm_mix.h"

class WaveOutBackEnd : public sound::BackEnd {
public:
    // Opens the waveOut device (44.1 kHz, 16-bit stereo) and starts feeding
    // it; `files` says where the files the game names lie, and must outlive
    // the back end. Without a device every operation fails with kNoAudio.
    explicit WaveOutBackEnd(const sound::SoundFiles& files);
    ~WaveOutBackEnd() override;
    WaveOutBackEnd(const WaveOutBackEnd&) = delete;
    WaveOutBackEnd& operator=(const WaveOutBackEnd&) = delete;

    sound::Result open(const sound::Open& op) override;
    sound::Result play(const sound::Play& op) override;
    sound::Result stop(const sound::Stop& op) override;
    sound::Result close(const sound::Close& op) override;

    bool ready() const { return ready_; }

private:
    struct Device {
        bool music = false;
        std::shared_ptr<const std::vector<uint8_t>> render;  // music: the theme's render, when it plays that
        uint32_t renderRate = 0;
        std::wstring sequencer;                              // music: else the sequencer's alias
        std::shared_ptr<const pcm::Samples> effect;          // effect: the whole sound
        int channel = -1;                                    // effect: its voice in the mixer
    };

    bool openDevice();
    void closeDevice();
    void feed();
    void release(Device& d);
    int takeChannel();
    void silenceMusic();

    const sound::SoundFiles& files_;
    pcm::Mixer mixer_;
    bool ready_ = false;
    std::map<std::string, Device> devices_;  // by alias, in lower case
    std::vector<bool> channelInUse_;
    sound::MusicStream musicStream_;

    HWAVEOUT out_ = nullptr;         // the device, owned by the feeding thread once it runs
    HANDLE bufferDone_ = nullptr;    // set by the device as it finishes a buffer
    HANDLE quit_ = nullptr;          // set to end the feeding thread
    std::thread feeder_;
};
