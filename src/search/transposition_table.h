#pragma once
// The transposition table shared by all search threads, without locks: a probe only accepts an
// entry whose two key halves match, so a torn entry is harmless.

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "board/types.h"
#include "options/option_table.h"
#include "util/large_memory.h"

namespace zelmora {

// Bound type in bits 1-2 of the depth word; bit 0 is the extension mark. depthWord = depth << 3 | flags.
constexpr int BOUND_UPPER = 0;
constexpr int BOUND_LOWER = 2;
constexpr int BOUND_EXACT = 4;
constexpr int BOUND_MASK = 6;
constexpr int EXTENSION_MARK = 1;
constexpr int makeDepthWord(int depth, int flags) { return int(std::int16_t(depth * 8 | flags)); }
constexpr int storedDepth(int depthWord) { return int(std::int16_t(depthWord)) >> 3; }

struct alignas(8) TTEntry {
    std::uint32_t keyLow;
    std::uint32_t keyHigh;
    Move move;
    std::int32_t score;  // mate scores relative to the storing node
    std::int16_t count;  // null-window count of the storing node
    std::int16_t depthWord;
    std::uint16_t age;
};
static_assert(sizeof(TTEntry) == 24, "three entries to a bucket, one or two cache lines per probe");

// 8192 bits that let threads avoid searching the same move of the same node at once.
// Bits are set and cleared with relaxed loads and stores, no locked instructions: a lost update
// between threads only costs move ordering.
class BusyMoveSet {
public:
    static constexpr unsigned SIZE = 8192;
    // The bit of a move of the node with this key.
    static unsigned indexOf(Move m, std::uint64_t key) { return (shortMove(m) ^ std::uint32_t(key)) % SIZE; }

    // Sets the bit and returns whether it was set before.
    bool testAndSet(unsigned index);
    void clear(unsigned index);
    void clearAll();

private:
    std::atomic<std::uint32_t> words_[SIZE / 32] = {};
};

class TranspositionTable {
public:
    static constexpr std::size_t DEFAULT_BYTES = std::size_t(optionSpec(OptionId::Hash).defaultValue) * 1048576;

    explicit TranspositionTable(std::size_t bytes = DEFAULT_BYTES);

    // False when no memory could be had; the old table is then kept.
    bool resize(std::size_t bytes);
    void clear();
    void newSearch();  // age + 1, used 0, book count 0

    // Finds the key in its bucket; the score comes back relative to the probing node's ply.
    bool probe(std::uint64_t key, int ply, Move& move, int& score, int& count, int& depthWord);
    void store(std::uint64_t key, Move move, int score, int depthWord, int ply, int count);
    void remove(std::uint64_t key);
    // Whether a probed score settles the window at this depth.
    static bool cutoffTest(int score, int depthWord, int alpha, int beta, int depth);
    // Starts loading the key's bucket into the cache ahead of its probe.
    void prefetch(std::uint64_t key) const {
        const char* bucket = reinterpret_cast<const char*>(bucketOf(std::uint32_t(key)));
        __builtin_prefetch(bucket);
        __builtin_prefetch(bucket + 64);
    }

    int hashFull() const;  // per thousand
    std::uint32_t slots() const { return slots_; }
    std::uint16_t age() const { return age_.load(std::memory_order_relaxed); }
    TTEntry* entries() { return entries_; }  // slots + 2 entries: the book loader writes here too

    // Non-zero while the table holds the opening book; waiting worker threads read it.
    std::atomic<std::uint32_t> bookCount{0};
    BusyMoveSet busy;

private:
    // The bucket of a key's low half: entries_ + low % slots_.
    TTEntry* bucketOf(std::uint32_t low) const { return entries_ + low % slots_; }
    // No locked add: the count is an estimate, and a lost update between threads costs less than
    // a locked instruction at every new entry.
    void countUsed() { used_.store(used_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed); }
    bool allocate(std::size_t bytes);
    void resetCounters();

    LargeMemory memory_;
    TTEntry* entries_ = nullptr;
    std::uint32_t slots_ = 0;
    // Shared by the search threads; relaxed accesses keep it an estimate without data races.
    std::atomic<std::uint32_t> used_{0};
    std::atomic<std::uint16_t> age_{1};
    // The table of last resort (one slot) when not even the smallest array can be had.
    TTEntry spare_[3] = {};
};

}  // namespace zelmora
