#pragma once
// Book records in the table for the book tests.

#include <cstdint>

#include "search/transposition_table.h"
#include "support/chess.h"

namespace zelmora::test {

inline std::uint64_t keyOf(const TTEntry& e) { return std::uint64_t(e.keyHigh) << 32 | e.keyLow; }

inline bool isPlaceholder(TranspositionTable& table) {
    const TTEntry& e = table.entries()[0];
    return table.bookCount == 1 && keyOf(e) == 0 && e.move == NO_MOVE && e.score == 100;
}

}  // namespace zelmora::test
