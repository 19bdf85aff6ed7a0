// Sound is driven by short text commands, one string a command, addressed to
// a channel by its alias: "open \"dat/se3.wav\" alias se1", "play se1 from 0
// notify", "stop audio1", "close audio1". Whoever sends them may ignore every
// result.
#pragma once
#include <string>

class CommandSink {
public:
    virtual ~CommandSink() = default;
    // 0 on success, non-zero on failure.
    virtual int send(const std::string& command) = 0;
};
