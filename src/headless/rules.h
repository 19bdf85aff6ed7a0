// The rules every moment of a dive keeps, whatever the player does: checked
// after every tick by the fuzz tests and the libFuzzer target.
#pragma once
#include <string>
#include <vector>

#include "headless/harness.h"

class RuleWatch {
public:
    explicit RuleWatch(const Playfield& f);
    // The first rule the dive breaks now, in words; empty if it keeps them all.
    std::string broken(const Dive& d);

private:
    std::vector<std::string> names_;  // the items in drawing order, which never changes
    int16_t lastTick_ = 0;
};
