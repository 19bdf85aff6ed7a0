// Where a desktop game looks for the sound files it names ("dat/se1.wav").
#pragma once
#include <filesystem>
#include <string>

#include "sound/back_end.h"

// The folder the game's "dat/..." names are taken from: the current folder
// when it has a dat/ folder, as the game always read its files; else the
// program's own folder when that has one, so that a shortcut, a double click
// or a start from another folder still finds the sounds; else the current
// folder again (and the game plays silently).
std::filesystem::path soundRoot(const std::filesystem::path& current, const std::filesystem::path& programFolder);

// The sound files under a root: "dat/se1.wav" is <root>/dat/se1.wav, as
// UTF-8 (the back end turns it into the system's own path).
class RootedSoundFiles : public sound::SoundFiles {
public:
    explicit RootedSoundFiles(std::filesystem::path root) : root_(std::move(root)) {}
    std::string locate(const std::string& gameName) const override;

private:
    std::filesystem::path root_;
};

// A UTF-8 path as the system's own, and back (wide on Windows).
std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string utf8FromPath(const std::filesystem::path& path);
