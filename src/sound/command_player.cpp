#include "sound/command_player.h"

#include <new>
#include <utility>

namespace sound {

CommandPlayer::CommandPlayer(BackEnd& backEnd, Unparsable onUnparsable)
    : backEnd_(backEnd), onUnparsable_(std::move(onUnparsable)) {}

int CommandPlayer::send(const std::string& command) {
    struct Dispatch {
        BackEnd& to;
        Result operator()(const Open& op) const { return to.open(op); }
        Result operator()(const Play& op) const { return to.play(op); }
        Result operator()(const Stop& op) const { return to.stop(op); }
        Result operator()(const Close& op) const { return to.close(op); }
    };
    try {
        const Parsed parsed = parseCommand(command);
        if (!parsed) {
            if (onUnparsable_) onUnparsable_(command, parsed.error);
            return kSyntax;
        }
        return std::visit(Dispatch{backEnd_}, *parsed.operation);
    } catch (const std::bad_alloc&) {
        // Reading a sound file into memory is what can run out of it.
        return kLoad;
    }
}

}  // namespace sound
