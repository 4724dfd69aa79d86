#include "util/platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <string>

namespace zelmora {
namespace {

// Far more than the smallest stack: only works when the requested size was honoured. The thread
// sanitizer keeps part of every stack for itself.
#if defined(__SANITIZE_THREAD__)
constexpr std::size_t DEEP = 128 * 1024;
#else
constexpr std::size_t DEEP = 700 * 1024;
#endif

void useDeepStack(void* argument) {
    volatile char block[DEEP];
    for (std::size_t i = 0; i < sizeof block; i += 64) block[i] = 1;
    static_cast<std::atomic<int>*>(argument)->store(block[12800]);
}

TEST(Platform, ThreadGetsItsStackAndJoinsOnce) {
    std::atomic<int> result{0};
    NativeThread thread;
    ASSERT_TRUE(thread.start(useDeepStack, &result, 1024000));
    EXPECT_FALSE(thread.start(useDeepStack, &result, 1024000));
    thread.join();
    thread.join();
    EXPECT_EQ(result.load(), 1);
}

TEST(Platform, ClockAndDirectoryAreSane) {
    EXPECT_LE(std::abs(systemMilliseconds() / 1000 - static_cast<std::int64_t>(std::time(nullptr))), 2);
    std::string engine = ZELMORA_BINARY;
    // The test binary lives inside the build tree that also holds the engine.
    EXPECT_EQ(programDirectory().rfind(engine.substr(0, engine.rfind('/')), 0), 0u) << programDirectory();
}

}  // namespace
}  // namespace zelmora
