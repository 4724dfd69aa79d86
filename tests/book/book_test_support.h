#pragma once
// Helpers for the book tests: keys and moves from coordinate texts, and books as text.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "board/notation.h"
#include "search/transposition_table.h"

namespace zelmora::test {

// The position after the coordinate moves, from the classical start.
inline Position positionAfter(const std::vector<std::string>& moves) {
    Position pos;
    for (const std::string& text : moves) {
        Move m = NO_MOVE;
        EXPECT_TRUE(textToMove(pos, text.c_str(), m, true)) << text;
        UndoRecord undo;
        pos.makeLegal(m, undo);
    }
    return pos;
}

inline Move moveOf(const std::vector<std::string>& before, const std::string& text) {
    Move m = NO_MOVE;
    EXPECT_TRUE(textToMove(positionAfter(before), text.c_str(), m, true)) << text;
    return m;
}

inline std::uint64_t keyOf(const TTEntry& e) { return std::uint64_t(e.keyHigh) << 32 | e.keyLow; }

inline bool isPlaceholder(TranspositionTable& table) {
    const TTEntry& e = table.entries()[0];
    return table.bookCount == 1 && keyOf(e) == 0 && e.move == NO_MOVE && e.score == 100;
}

}  // namespace zelmora::test
