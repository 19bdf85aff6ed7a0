// Music and sound effects. The game has two channels, each an alias of the
// sound layer's commands: "audio1" plays one MIDI piece at a time, "se1" one
// WAV effect at a time. Callers put the piece or effect number into BgmNo or
// SeNo first. No result of any command is looked at: a sound that cannot be
// played is simply not heard.
#include <filesystem>
#include <string>

#include "core/game.h"

namespace {

// The sound files live in "dat" under the current directory.
std::string datFile(const std::string& name) {
    return std::string("dat") + static_cast<char>(std::filesystem::path::preferred_separator) + name;
}

std::string openCommand(const std::string& file, const char* alias) {
    return "open \"" + file + "\" alias " + alias;
}

}  // namespace

void Game::playMusic() {
    try {
        if (state_.BgmNo == 1) {
            // The dive theme.
            sound_.send(openCommand(datFile("plomvex_s01.mid"), "audio1"));
            sound_.send("play audio1 from 14 notify");
        } else if (state_.BgmNo == 2) {
            // The boss theme.
            sound_.send(openCommand(datFile("ravederu.mid"), "audio1"));
            sound_.send("play audio1 from 1 notify");
        }
        // Mouse events that piled up while the piece was loading are handled
        // here, even in the middle of a dive step.
        host_.processMessages();
    } catch (...) {
        // Whatever went wrong while starting the music, the game goes on
        // without it.
        stopMusic();
    }
}

void Game::stopMusic() {
    sound_.send("stop audio1");
    sound_.send("close audio1");
}

void Game::playEffect() {
    const std::string file = datFile("se" + std::to_string(static_cast<unsigned>(state_.SeNo)) + ".wav");
    sound_.send(openCommand(file, "se1"));
    sound_.send("play se1 from 0 notify");
}

void Game::stopEffect() {
    sound_.send("stop se1");
    sound_.send("close se1");
}

void Game::soundEffect(uint8_t n) {
    state_.SeNo = n;
    stopEffect();
    playEffect();
}
