#include <gtest/gtest.h>

#include "core/dice.h"

// Values worked out by hand from seed := seed * 134775813 + 1 (mod 2^32) and
// result := (seed * n) >> 32.
TEST(Random, FirstDrawsFromZeroSeed) {
    Dice r(0);
    // seed 1: (1 * 100) >> 32 = 0
    EXPECT_EQ(r.roll(100), 0u);
    EXPECT_EQ(r.seed(), 1u);
    // seed 134775814 = 0x0808_8406: (134775814 * 200) >> 32 = 6
    EXPECT_EQ(r.roll(200), 6u);
    EXPECT_EQ(r.seed(), 134775814u);
    // seed 134775814 * 134775813 + 1 mod 2^32 = 3698175007
    EXPECT_EQ(r.roll(2), 1u);
    EXPECT_EQ(r.seed(), 3698175007u);
}

TEST(Random, SameSeedSameRollsInRange) {
    // The seed of a start at 12:34:56.789 UTC.
    Dice a(45296789), b(45296789);
    for (int i = 0; i < 1000; ++i) {
        const uint32_t v = a.roll(50);
        ASSERT_LT(v, 50u);
        ASSERT_EQ(v, b.roll(50));  // same millisecond, same sequence
    }
    Dice c(0xFFFFFFFFu);
    EXPECT_EQ(c.roll(1), 0u);
    // 0xFFFFFFFF * 134775813 + 1 = -134775812 mod 2^32 = 4160191484
    EXPECT_EQ(c.seed(), 4160191484u);
}
