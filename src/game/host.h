// What the game needs from the shell it runs in: the clock, the 1 ms sleep,
// the phase hook and the on-demand handling of waiting window events.
#pragma once
#include <cstdint>

enum class Phase : uint8_t { None, Dive, Over, Clear };

class Host {
public:
    virtual ~Host() = default;
    // |clock| as a signed 32-bit number of milliseconds.
    virtual int32_t clock() = 0;
    virtual void sleep1() = 0;
    // Install the idle handler of a phase (Phase::None uninstalls).
    virtual void install(Phase p) = 0;
    // Handle every waiting window event now, without calling the idle handler.
    virtual void processMessages() = 0;
};
