#pragma once
// Leaf counts of the legal move tree, optionally with a node-count hash table.

#include <cstdint>

#include "board/position.h"
#include "util/large_memory.h"

namespace zelmora {

class PerftTable {
public:
    // The largest power of two of 24-byte entries that fits into megabytes MiB; none for 0.
    explicit PerftTable(int megabytes);
    bool probe(std::uint64_t key, int depth, std::uint64_t& nodes) const;
    void store(std::uint64_t key, int depth, std::uint64_t nodes);
    std::size_t size() const { return size_; }

private:
    struct Entry {
        std::uint64_t key;
        std::uint64_t nodes;
        std::int32_t depth;
    };
    LargeMemory memory_;
    Entry* entries_ = nullptr;
    std::size_t size_ = 0;
};

// No count deeper than this could ever finish, and the recursion must not outrun the stack.
constexpr int MAX_PERFT_DEPTH = 64;

// Needs fresh attack sets (any validated position or one reached by makeLegal).
std::uint64_t perft(Position& pos, int depth, PerftTable* table = nullptr);

}  // namespace zelmora
