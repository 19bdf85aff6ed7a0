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
