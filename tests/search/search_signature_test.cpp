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

// Openings, middlegames and endings searched by fresh engines to fixed depths. The node counts
// are the search's signature: any change to pruning, extensions, move order or evaluation moves
// them, so they are pinned. A change meant to alter the search must say so by updating them.
const struct {
    const char* fen;
    int depth;
    std::uint64_t nodes;
    const char* best;
} SIGNATURE[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 8, 383007, "d2d4"},
    {"r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4", 7, 115667, "b1c3"},
    {"r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 0 8", 7, 393085, "f3e5"},
    {"2rq1rk1/pp1bppbp/3p1np1/8/3NP3/1BN1BP2/PPPQ2PP/2KR3R b - - 0 12", 7, 247944, "a7a6"},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 6, 337741, "d5e6"},
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 10, 132137, "b4f4"},
    {"8/8/1p1k4/p1p5/P1P1K3/1P6/8/8 w - - 0 1", 12, 19716, "e4f5"},
    {"3k4/p6r/1p1P4/2p5/8/P7/KP6/3R4 w - - 0 1", 9, 92241, "b2b4"},
    {"8/7B/2b5/1pk3p1/8/P7/1P3K2/8 w - - 0 1", 9, 154925, "h7f5"},
};

TEST(SearchSignature, NodeCountsAndMovesArePinned) {
    for (const auto& s : SIGNATURE) {
        SearchRig rig(s.fen);
        rig.think(s.depth);
        const Engine& e = *rig.engine;
        EXPECT_EQ(e.nodes, s.nodes) << s.fen;
        EXPECT_EQ(text(rig.game.position, e.pvMove), s.best) << s.fen;
        EXPECT_EQ(e.iterationDepth, s.depth);
        EXPECT_GT(e.selectiveDepth, s.depth);
    }
}

TEST(SearchSignature, TheSearchAllocatesNothing) {
    SearchRig rig(SIGNATURE[2].fen);
    rig.shared.setListener(nullptr);
    rig.shared.settings.multiPv = 2;  // the MultiPV lists too
    rig.think(2);             // warms up whatever is built on first use
    const long before = allocations.load();
    rig.think(6);
    EXPECT_EQ(allocations.load() - before, 0);
    ::operator delete(::operator new(16));  // the counter itself works
    EXPECT_GT(allocations.load() - before, 0);
    EXPECT_GT(rig.engine->nodes, 5000u);
}

}  // namespace
}  // namespace zelmora::test
