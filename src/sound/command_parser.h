// The game's sound commands as typed operations. A command string is parsed
// once, here, into one of four operations on a channel named by its alias;
// a back end (sound/back_end.h) carries the operations out. Plain C++: no
// SDL, nothing of the game, so that any audio back end can be put behind it.
//
// The commands accepted:
//   open <file> alias <alias>
//   play <alias> from <milliseconds> [notify]
//   stop <alias>
//   close <alias>
// Words are separated by white space; a word in double quotes may hold
// spaces (the game always quotes the file). Keywords and aliases are
// compared without regard to case: an alias comes out in lower case, a file
// name exactly as written. A position is plain decimal digits, at most
// 2147483647.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace sound {

// Opens a file on a channel: a ".mid" file is music, a ".wav" file an effect.
// The file is named as the game names it ("dat/se1.wav"); where it lies on
// this machine is the back end's business (SoundFiles).
struct Open {
    std::string file;
    std::string alias;
    bool operator==(const Open&) const = default;
};

// Starts an open channel from a position in milliseconds. `notify` asks for
// a report at the end, which nobody receives: back ends may ignore it.
struct Play {
    std::string alias;
    uint32_t fromMs = 0;
    bool notify = false;
    bool operator==(const Play&) const = default;
};

// Halts an open channel; it stays open.
struct Stop {
    std::string alias;
    bool operator==(const Stop&) const = default;
};

// Halts a channel and lets its file and its alias go.
struct Close {
    std::string alias;
    bool operator==(const Close&) const = default;
};

using Operation = std::variant<Open, Play, Stop, Close>;

// The outcome of parsing one command: the operation, or why there is none.
struct Parsed {
    std::optional<Operation> operation;
    std::string error;  // empty when the command parsed
    explicit operator bool() const { return operation.has_value(); }
};

Parsed parseCommand(std::string_view command);

// The command text of an operation, in the form the game writes it
// (`open "dat/se1.wav" alias se1`, `play se1 from 0 notify`). Parsing the
// text gives the operation back.
std::string formatCommand(const Operation& operation);

// Whether two words are the same but for the case of their ASCII letters:
// keywords and aliases are read that way.
bool equalIgnoringCase(std::string_view a, std::string_view b);

}  // namespace sound
