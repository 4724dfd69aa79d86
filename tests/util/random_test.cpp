#include "util/random.h"

#include <gtest/gtest.h>

namespace zelmora {
namespace {

// Reference values from a bit-by-bit model of the three registers.
TEST(RandomGenerator, FollowsTheRegisterStepsAfterTwentyDiscardedOutputs) {
    RandomGenerator one(1), zero(0), other(0xDEADBEEFu), longRun(12345);
    for (std::uint32_t expected : {0x07DF35ABu, 0x9FA451A6u, 0xD39C43A0u, 0xE0FFEEB5u, 0x33E4AA34u}) {
        EXPECT_EQ(zero.next(), expected);  // a zero seed counts as 1
        EXPECT_EQ(one.next(), expected);
    }
    EXPECT_EQ(other.next(), 0x6864997Du);
    EXPECT_EQ(other.next(), 0x214AE2FCu);
    std::uint32_t last = 0;
    for (int i = 0; i < 1000; ++i) last = longRun.next();
    EXPECT_EQ(last, 0xBDD7931Au);
}

}  // namespace
}  // namespace zelmora
