#include "control/time_limits.h"

#include <gtest/gtest.h>

#include <thread>

namespace zelmora {
namespace {

TEST(TimeLimits, StopAccumulatesRunningTimeUntilReset) {
    TimeLimits clock;
    clock.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_GE(clock.elapsed(), 25);
    clock.stop();
    std::int64_t first = clock.accumulated;
    EXPECT_GE(first, 25);
    clock.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    clock.stop();
    EXPECT_GE(clock.accumulated, first + 8);
    EXPECT_FALSE(clock.running);
    clock.reset();
    EXPECT_EQ(clock.accumulated, 0);
}

}  // namespace
}  // namespace zelmora
