// The game's dice: a 32-bit linear congruential generator, seeded once from
// the time of day. The bubbles, the moray's late lane changes and every lane
// of the giant squid are rolled with it.
#pragma once
#include <cstdint>

class Dice {
public:
    explicit Dice(uint32_t seed = 0) : seed_(seed) {}
    uint32_t seed() const { return seed_; }
    // A whole number from 0 to n - 1: advance the seed, then take the high
    // 32 bits of the 64-bit product seed * n.
    uint32_t roll(uint32_t n) {
        seed_ = seed_ * 134775813u + 1u;
        return static_cast<uint32_t>((static_cast<uint64_t>(seed_) * n) >> 32);
    }

private:
    uint32_t seed_;
};
