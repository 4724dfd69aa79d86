#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "search_test_helpers.h"

// Counts every allocation of the test program, so that a search can show it made none. Under
// AddressSanitizer its own allocator reports them; elsewhere operator new is replaced.
namespace {
std::atomic<long> allocations{0};
}  // namespace

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, std::size_t),
                                                        void (*)(const volatile void*));
namespace {
void countAllocation(const volatile void*, std::size_t) { allocations.fetch_add(1, std::memory_order_relaxed); }
void ignoreRelease(const volatile void*) {}
const int hooksInstalled = __sanitizer_install_malloc_and_free_hooks(countAllocation, ignoreRelease);
}  // namespace
#else
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
// The nothrow forms of new and delete end up in these.
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace zelmora::test {
namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int DEPTH_CUT = 2;  // the sanitizers slow the search down
#else
constexpr int DEPTH_CUT = 0;
#endif

const char* POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 0 8",
    "2rq1rk1/pp1bppbp/3p1np1/8/3NP3/1BN1BP2/PPPQ2PP/2KR3R b - - 0 12",
};

// The node count is the search's signature: two fresh engines must agree on it exactly.
TEST(SearchSignature, NodeCountsAreDeterministic) {
    const int depths[] = {10 - DEPTH_CUT, 8 - DEPTH_CUT, 8 - DEPTH_CUT, 8 - DEPTH_CUT};
    for (int i = 0; i < 4; ++i) {
        SearchRig a(POSITIONS[i]), b(POSITIONS[i]);
        a.think(depths[i]);
        b.think(depths[i]);
        EXPECT_EQ(a.engine->nodes, b.engine->nodes) << POSITIONS[i];
        EXPECT_EQ(a.engine->pvMove, b.engine->pvMove);
        EXPECT_EQ(a.engine->lastScore, b.engine->lastScore);
        EXPECT_EQ(a.engine->iterationDepth, depths[i]);
        EXPECT_GT(a.engine->selectiveDepth, depths[i]);
    }
}

TEST(SearchSignature, TheSearchAllocatesNothing) {
    SearchRig rig(POSITIONS[2]);
    rig.engine->setListener(nullptr);
    rig.engine->multiPv = 2;  // the MultiPV lists too
    rig.think(2);             // warms up whatever is built on first use
    const long before = allocations.load();
    rig.think(7 - DEPTH_CUT);
    EXPECT_EQ(allocations.load() - before, 0);
    ::operator delete(::operator new(16));  // the counter itself works
    EXPECT_GT(allocations.load() - before, 0);
    EXPECT_GT(rig.engine->nodes, 5000u);
}

}  // namespace
}  // namespace zelmora::test
