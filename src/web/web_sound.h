// The game's sound commands carried out by the page's WebAudio channels
// (web/library_torvenka.js): "open \"dat/X\" alias A", "play A from N
// [notify]", "stop A", "close A", with the desktop's results. The themes are
// played from the .ogg files the build renders beside each .mid file; the
// effects are the .wav files as they are.
#pragma once
#include <string>

#include "sound/commands.h"

class WebSoundSink : public CommandSink {
public:
    // The results, as the desktop's sink gives them.
    enum Result : int { kOk = 0, kNoAudio = 1, kSyntax = 2, kAlias = 3, kLoad = 4, kPlay = 5 };

    // Starts loading and decoding the files the game plays, so that the
    // first effect and the first piece do not wait for the network.
    static void preload();
    int send(const std::string& command) override;
};
