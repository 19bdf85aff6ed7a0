// The generator of the game's sound files: four effects and two themes,
// every sample and note made here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace soundgen {

struct OutputFile {
    std::string name;  // file name inside dat/
    std::vector<std::uint8_t> bytes;
};

// All six files, in a fixed order: se1.wav .. se4.wav, plomvex_s01.mid, ravederu.mid.
std::vector<OutputFile> generateAll();

// Writes every file into `dir` (created if missing). On failure returns false
// and describes the problem in `error`.
bool writeAll(const std::filesystem::path& dir, std::string& error);

// A table of the themes' sections with their bars and times in seconds, one
// line per section: "<file> <section> <first bar> <end bar> <start s> <end s>",
// followed by a line "<file> total <bars> <seconds>" per theme.
std::string describeSections();

// One line per bar of each theme: "<file> <bar> <section> <fingerprint> <notes>".
// The fingerprint hashes what is played in the bar (instrument, key, onset and
// length of every note starting in it, not the velocities), so two bars with
// the same fingerprint are literal repeats.
std::string describeBars();

}  // namespace soundgen
