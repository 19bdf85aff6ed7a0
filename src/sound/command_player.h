// The game's sound commands carried out by a back end: each string is parsed
// (sound/command_parser.h) and the operation handed to the back end. This is
// the CommandSink the game is given.
#pragma once
#include <functional>
#include <string>

#include "sound/back_end.h"
#include "sound/commands.h"

namespace sound {

class CommandPlayer : public CommandSink {
public:
    // Told about a command that does not parse, with the reason. The game
    // gives none: such a command is only answered with kSyntax, like any
    // other failure that nobody looks at. A test gives one that fails.
    using Unparsable = std::function<void(const std::string& command, const std::string& reason)>;

    explicit CommandPlayer(BackEnd& backEnd, Unparsable onUnparsable = {});

    // The back end's result, kSyntax for a command that does not parse, and
    // kLoad when memory ran out on the way. Never throws that.
    int send(const std::string& command) override;

private:
    BackEnd& backEnd_;
    Unparsable onUnparsable_;
};

}  // namespace sound
