// The three lanes: the colours a creature and the spear are drawn in. The
// spear is in a creature's lane when it shows the creature's colour.
#pragma once
#include <cstdint>

#include "core/keyed.h"
#include "core/pictures.h"
#include "core/state.h"

namespace lanes {

struct LaneColour {
    Lane lane;
    uint32_t rgb;
};
// The player tells the lanes apart by these colours alone.
constexpr LaneColour kColours[] = {
    {Lane::White, kWhite},
    {Lane::Cyan, kCyan},
    {Lane::Red, kRed},
};
static_assert(rowsInKeyOrder(kColours, &LaneColour::lane, Lane::White));

}  // namespace lanes

// The colour of a lane; Lane::None has none and gets black.
constexpr uint32_t laneColour(Lane l) {
    return l == Lane::None ? kBlack : lanes::kColours[static_cast<int>(l) - static_cast<int>(Lane::White)].rgb;
}

// The lanes in their colour order.
constexpr Lane kLanes[] = {Lane::White, Lane::Cyan, Lane::Red};

// One lane on: white -> cyan -> red -> white.
constexpr Lane nextLane(Lane l) { return static_cast<Lane>(code(l) % 3 + 1); }
// One lane back: white -> red -> cyan -> white.
constexpr Lane previousLane(Lane l) { return static_cast<Lane>((code(l) + 1) % 3 + 1); }
