#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <string>

#include "util/platform.h"
#include "util/text.h"

namespace zelmora::test {
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

std::string trimmed(std::string s) {
    trimTrailingWhite(s.data());
    return s.c_str();
}

std::string squeezed(std::string s) {
    squeezeBlanks(s.data());
    return s.c_str();
}

TEST(Text, TrimAndSqueezeTouchOnlyWhatTheyShould) {
    EXPECT_EQ(trimmed("  go  depth 3 \t\n\v\f\r"), "  go  depth 3");
    EXPECT_EQ(trimmed(" \t \r\n"), "");
    EXPECT_EQ(trimmed("x\xA0"), "x\xA0");  // not ASCII white space
    EXPECT_EQ(squeezed("   info depth       3 "), " info depth 3 ");
    EXPECT_EQ(squeezed("a\t\tb"), "a\t\tb");
}

TEST(Text, LineBufferCutsInsteadOfOverflowing) {
    LineBuffer line;
    std::string chunk(3000, 'x');
    line.append(chunk.c_str());
    line.appendf("%s", chunk.c_str());
    line.append("y");
    EXPECT_EQ(line.length(), LineBuffer::CAPACITY - 1);
    EXPECT_EQ(std::string(line.text()), std::string(LineBuffer::CAPACITY - 1, 'x'));
}

}  // namespace
}  // namespace zelmora::test
