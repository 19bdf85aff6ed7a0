// A back end that plays nothing and keeps every operation it is given, in
// order: for tests that look at what the game asked of its sound.
#pragma once
#include <utility>
#include <vector>

#include "sound/back_end.h"

namespace sound {

class RecordingBackEnd : public BackEnd {
public:
    std::vector<Operation> operations;

    Result open(const Open& op) override { return keep(op); }
    Result play(const Play& op) override { return keep(op); }
    Result stop(const Stop& op) override { return keep(op); }
    Result close(const Close& op) override { return keep(op); }

private:
    Result keep(Operation op) {
        operations.push_back(std::move(op));
        return kOk;
    }
};

}  // namespace sound
