// The sound back end of the page: the parsed sound commands carried out on
// WebAudio by the page's two channels (web/library_audio.js), with the
// desktop's results. The themes are played from the .ogg files the build
// renders beside each .mid file; the effects are the .wav files as they are.
#pragma once
#include <string>
#include <vector>

#include "sound/back_end.h"

class WebAudioBackEnd : public sound::BackEnd {
public:
    // Starts fetching and decoding the files the game will play, so that
    // the first effect and the first piece do not wait for the network.
    explicit WebAudioBackEnd(const std::vector<std::string>& files);

    sound::Result open(const sound::Open& op) override;
    sound::Result play(const sound::Play& op) override;
    sound::Result stop(const sound::Stop& op) override;
    sound::Result close(const sound::Close& op) override;
};
