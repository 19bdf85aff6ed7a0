// The game's command line: torvenka [--scale N] [--replay FILE|last] | --help | --version.
#pragma once
#include <optional>
#include <string>

struct CommandLine {
    bool help = false;
    bool version = false;
    std::optional<int> scale;  // 1 to kMaxScale; unset: the desktop's own scale
    std::optional<std::string> replay;  // a dive's file to watch, or "last" for the newest kept
    std::string error;         // non-empty: what is wrong with the line
};

CommandLine parseCommandLine(int argc, const char* const* argv);

// The usage line, the options and one line on the game, for --help.
std::string helpText();
std::string usageLine();

// What the line asks for before any game is made: a mistake (printed with
// the usage line on stderr, exit code 2), --help or --version (printed on
// stdout, exit code 0, or 1 with a line on stderr when the answer cannot be
// written). Nothing when the game is to be played.
std::optional<int> answerCommandLine(const CommandLine& line, const char* version);
