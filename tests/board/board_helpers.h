#pragma once
// The generator's raw list, for the board tests.

#include <vector>

#include "support/chess.h"

namespace zelmora::test {

inline std::vector<Move> generated(const Position& pos, bool tactical = false, bool withChecks = false) {
    MoveEntry list[MAX_MOVES];
    const int n = generateMoves(pos, list, tactical, withChecks);
    std::vector<Move> moves;
    for (int i = 0; i < n; ++i) moves.push_back(list[i].move);
    return moves;
}

}  // namespace zelmora::test
