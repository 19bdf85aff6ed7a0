// Music and sound effects. The game has two channels, each an alias of the
// sound layer's commands: "audio1" plays one MIDI piece at a time, "se1" one
// WAV effect at a time. No result of any command is looked at: a sound that
// cannot be played is simply not heard.
#include <string>

#include "core/game.h"

namespace {

// The sound files live in "dat" under the current directory; "/" separates
// folders on every platform the game runs on.
std::string datFile(const std::string& name) { return "dat/" + name; }

std::string openCommand(const std::string& file, const char* alias) {
    return "open \"" + file + "\" alias " + alias;
}

const char* const kDiveThemeFile = "plomvex_s01.mid";
const char* const kBossThemeFile = "ravederu.mid";

}  // namespace

// Effect n is the file "se<n>.wav".
std::string effectFile(Effect effect) { return datFile("se" + std::to_string(code(effect)) + ".wav"); }

std::string musicFile(Music piece) {
    switch (piece) {
        case Music::DiveTheme: return datFile(kDiveThemeFile);
        case Music::BossTheme: return datFile(kBossThemeFile);
        case Music::None: break;
    }
    return "";
}

std::vector<std::string> everySoundFile() {
    // In the order a dive first needs them: the start click's effect and
    // the dive theme at once, the cards, the spear and the tanks within the
    // first seconds, a defeat later, and the boss theme more than a minute in.
    return {effectFile(Effect::Card), musicFile(Music::DiveTheme), effectFile(Effect::Spear), effectFile(Effect::Tank),
            effectFile(Effect::Defeat), musicFile(Music::BossTheme)};
}

void Game::playMusic(Music piece) {
    switch (piece) {
        case Music::DiveTheme:
            sound_.send(openCommand(musicFile(piece), "audio1"));
            sound_.send("play audio1 from 14 notify");
            break;
        case Music::BossTheme:
            sound_.send(openCommand(musicFile(piece), "audio1"));
            sound_.send("play audio1 from 1 notify");
            break;
        case Music::None: break;
    }
}

void Game::stopMusic() {
    sound_.send("stop audio1");
    sound_.send("close audio1");
}

void Game::playEffect(Effect effect) {
    sound_.send(openCommand(effectFile(effect), "se1"));
    sound_.send("play se1 from 0 notify");
}

void Game::stopEffect() {
    sound_.send("stop se1");
    sound_.send("close se1");
}

void Game::soundEffect(Effect effect) {
    state_.SeNo = effect;
    stopEffect();
    playEffect(effect);
}
