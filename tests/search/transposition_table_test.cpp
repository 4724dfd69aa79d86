#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "search/score.h"
#include "search/transposition_table.h"

namespace zelmora::test {
namespace {

constexpr std::size_t SMALL = 1000;  // rounded up to the 500-entry minimum
constexpr std::uint32_t SMALL_SLOTS = 498;

std::uint64_t keyAt(std::uint32_t slot, std::uint32_t high) { return std::uint64_t(high) << 32 | slot; }

struct Probe {
    bool found = false;
    Move move = NO_MOVE;
    int score = 0, count = 0, depthWord = 0;
};

Probe probe(TranspositionTable& tt, std::uint64_t key, int ply = 0) {
    Probe p;
    p.found = tt.probe(key, ply, p.move, p.score, p.count, p.depthWord);
    return p;
}

TEST(TranspositionTable, MateScoresAreStoredRelativeToTheNode) {
    TranspositionTable tt(SMALL);
    const std::uint64_t key = keyAt(7, 1);
    const int dw = makeDepthWord(16, BOUND_EXACT);

    tt.store(key, 0, MATE - 13, dw, 10, 0);  // mate 3 plies below the ply-10 node
    EXPECT_EQ(tt.entries()[7].score, MATE - 3);
    EXPECT_EQ(probe(tt, key, 12).score, MATE - 15);

    tt.store(key, 0, -(MATE - 13), dw, 10, 0);
    EXPECT_EQ(probe(tt, key, 12).score, -(MATE - 15));

    tt.store(key, 0, MATE_THRESHOLD - 1, dw, 10, 0);  // not a mate score: untouched
    EXPECT_EQ(probe(tt, key, 12).score, MATE_THRESHOLD - 1);
}

TEST(TranspositionTable, CutoffTestNeedsDepthAndAFittingBound) {
    const int alpha = -50, beta = 50;
    auto cut = [&](int score, int flags, int storedDepth = 24) {
        return TranspositionTable::cutoffTest(score, makeDepthWord(storedDepth, flags), alpha, beta, 24);
    };
    EXPECT_FALSE(cut(1000, BOUND_EXACT, 23));
    EXPECT_TRUE(cut(50, BOUND_LOWER));
    EXPECT_TRUE(cut(50, BOUND_LOWER | EXTENSION_MARK, 30));
    EXPECT_FALSE(cut(49, BOUND_LOWER));
    EXPECT_FALSE(cut(-100, BOUND_LOWER));
    EXPECT_TRUE(cut(-50, BOUND_UPPER));
    EXPECT_FALSE(cut(-49, BOUND_UPPER));
    EXPECT_FALSE(cut(100, BOUND_UPPER));
    EXPECT_TRUE(cut(0, BOUND_EXACT));
    EXPECT_TRUE(TranspositionTable::cutoffTest(0, makeDepthWord(-1, BOUND_EXACT), alpha, beta, -1));
}

// Address-space limits do not mix with the sanitizers' shadow memory.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
std::size_t virtualSize() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    char line[256];
    std::size_t kb = 0;
    while (f && std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmSize:", 7) == 0) kb = std::strtoull(line + 7, nullptr, 10);
    if (f) std::fclose(f);
    return kb * 1024;
}

// Address-space limits in a child process stand in for a machine without the memory.
void resizeUnderMemoryLimits() {
    TranspositionTable tt(SMALL);
    tt.store(keyAt(5, 5), 77, 0, makeDepthWord(8, BOUND_EXACT), 0, 0);
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    const std::size_t base = virtualSize();

    limit.rlim_cur = base + (1 << 20);  // less than any table needs
    if (setrlimit(RLIMIT_AS, &limit) != 0) std::exit(2);
    if (tt.resize(std::size_t(1) << 30)) std::exit(3);
    if (tt.slots() != SMALL_SLOTS || probe(tt, keyAt(5, 5)).move != 77) std::exit(4);

    limit.rlim_cur = base + (std::size_t(64) << 20);  // backs off from 1 GiB to what fits
    if (setrlimit(RLIMIT_AS, &limit) != 0) std::exit(2);
    if (!tt.resize(std::size_t(1) << 30)) std::exit(5);
    const std::size_t bytes = std::size_t(tt.slots()) * sizeof(TTEntry);
    if (bytes > (std::size_t(64) << 20) || bytes < (std::size_t(32) << 20)) std::exit(6);
    tt.store(keyAt(5, 5), 78, 0, makeDepthWord(8, BOUND_EXACT), 0, 0);
    std::exit(probe(tt, keyAt(5, 5)).move == 78 ? 0 : 7);
}

TEST(TranspositionTable, FailedResizeKeepsTheTableAndBacksOff) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(resizeUnderMemoryLimits(), testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
}  // namespace zelmora::test
