// The sound back end of the page: the parsed sound commands carried out on
// WebAudio by the page's two channels (web/library_torvenka.js), with the
// desktop's results. The themes are played from the .ogg files the build
// renders beside each .mid file; the effects are the .wav files as they are.
#pragma once
#include "sound/back_end.h"

class WebAudioBackEnd : public sound::BackEnd {
public:
    // Starts fetching and decoding every file the game plays, so that the
    // first effect and the first piece do not wait for the network.
    WebAudioBackEnd();

    sound::Result open(const sound::Open& op) override;
    sound::Result play(const sound::Play& op) override;
    sound::Result stop(const sound::Stop& op) override;
    sound::Result close(const sound::Close& op) override;
};
