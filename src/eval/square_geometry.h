#pragma once
// Distances between squares and the board seen from either side, shared by the evaluation terms
// and the recognizers. A rank is numbered as its side counts it, 1 to 8 from its own back rank;
// the board's row index (rowOf, 0 = rank 8) stays inside these helpers.

#include "board/bitboard.h"

namespace zelmora {

constexpr int absolute(int v) { return v < 0 ? -v : v; }

// The longest trips on the board: corner to corner.
constexpr int LONGEST_KING_TRIP = 7;
constexpr int LONGEST_ROOK_TRIP = 14;

constexpr int kingSteps(Square a, Square b) {
    const int files = absolute(fileOf(a) - fileOf(b)), ranks = absolute(rowOf(a) - rowOf(b));
    return files > ranks ? files : ranks;
}
constexpr int rookSteps(Square a, Square b) {
    return absolute(fileOf(a) - fileOf(b)) + absolute(rowOf(a) - rowOf(b));
}
// Steps to the nearest of d4, e4, d5, e5: 0 there, 3 for a king and 6 for a rook in a corner.
constexpr int kingStepsToCentre(Square s) {
    const int files = absolute(2 * fileOf(s) - 7) / 2, ranks = absolute(2 * rowOf(s) - 7) / 2;
    return files > ranks ? files : ranks;
}
constexpr int rookStepsToCentre(Square s) {
    return (absolute(2 * fileOf(s) - 7) + absolute(2 * rowOf(s) - 7)) / 2 - 1;
}

// The square as c sees it when it takes White's place: Black's squares flip top to bottom.
constexpr Square relativeSquare(Colour c, Square s) { return c == WHITE ? s : s ^ 56; }
// c's rank number `rank` as a square set.
constexpr Bitboard relativeRankMask(Colour c, int rank) {
    return c == WHITE ? rowMask(8 - rank) : rowMask(rank - 1);
}
// How many ranks s lies beyond c's back rank: 0 on c's first rank, 7 on its eighth.
constexpr int ranksFromHome(Colour c, Square s) { return c == WHITE ? 7 - rowOf(s) : rowOf(s); }

}  // namespace zelmora
