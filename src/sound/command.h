// The game speaks to its sound channels in short text commands, one string a
// command ("open \"dat/se3.wav\" alias se1", "play audio1 from 14 notify",
// "stop se1", "close audio1"). The game ignores every result.
#pragma once
#include <string>

class CommandSink {
public:
    virtual ~CommandSink() = default;
    // 0 on success, non-zero on failure.
    virtual int send(const std::string& command) = 0;
};
