#pragma once
// Shared helpers for the board tests.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "board/game_record.h"
#include "board/movegen.h"
#include "board/notation.h"

namespace zelmora::test {

inline std::vector<Move> generated(const Position& pos, bool tactical = false, bool withChecks = false) {
    MoveEntry list[MAX_MOVES];
    const int n = generateMoves(pos, list, tactical, withChecks);
    std::vector<Move> moves;
    for (int i = 0; i < n; ++i) moves.push_back(list[i].move);
    return moves;
}

inline std::vector<Move> legalMoves(const Position& pos) {
    std::vector<Move> moves;
    for (Move m : generated(pos)) {
        Position copy = pos;
        UndoRecord undo;
        if (copy.makeFast(m, undo)) moves.push_back(m);
    }
    return moves;
}

inline Position fromFen(const char* fen) {
    Position pos;
    EXPECT_NE(pos.setFen(fen), nullptr) << fen;
    return pos;
}

inline std::string fenOf(const Position& pos) {
    char buffer[128];
    return pos.writeFen(buffer);
}

inline std::string coordinate(const Position& pos, Move m) {
    char buffer[32];
    return moveToText(pos, m, MoveStyle::COORDINATE, buffer);
}

// Every field of two records, square lists in list order.
inline void expectIdentical(const Position& a, const Position& b) {
    for (int c = WHITE; c <= BLACK; ++c) {
        const SideRecord& x = a.side[c];
        const SideRecord& y = b.side[c];
        for (int t = 0; t < PIECE_TYPE_COUNT; ++t) {
            EXPECT_EQ(x.pieces[t], y.pieces[t]) << "colour " << c << " type " << t;
            EXPECT_EQ(x.count[t], y.count[t]) << "colour " << c << " type " << t;
            for (int i = 0; i < x.count[t] && t > 0; ++i) EXPECT_EQ(x.squareList[t][i], y.squareList[t][i]);
        }
        EXPECT_EQ(x.attackedByEnemy, y.attackedByEnemy);
        EXPECT_EQ(x.attackedTwiceByEnemy, y.attackedTwiceByEnemy);
        EXPECT_EQ(x.attackedByEnemyPawns, y.attackedByEnemyPawns);
        EXPECT_EQ(x.materialSum, y.materialSum);
        EXPECT_EQ(x.materialKey, y.materialKey);
        EXPECT_EQ(x.rookSquareKingSide, y.rookSquareKingSide);
        EXPECT_EQ(x.rookSquareQueenSide, y.rookSquareQueenSide);
        EXPECT_EQ(x.castleEmptyKingSide, y.castleEmptyKingSide);
        EXPECT_EQ(x.castleEmptyQueenSide, y.castleEmptyQueenSide);
        EXPECT_EQ(x.castleSafeKingSide, y.castleSafeKingSide);
        EXPECT_EQ(x.castleSafeQueenSide, y.castleSafeQueenSide);
    }
    EXPECT_EQ(a.occupied, b.occupied);
    EXPECT_EQ(a.lastMoveSquares, b.lastMoveSquares);
    EXPECT_EQ(a.key, b.key);
    EXPECT_EQ(a.pawnKey, b.pawnKey);
    EXPECT_EQ(a.pinnedAttacked, b.pinnedAttacked);
    EXPECT_EQ(a.epSquare, b.epSquare);
    EXPECT_EQ(a.castlingRights, b.castlingRights);
    EXPECT_EQ(a.whiteToMove, b.whiteToMove);
    EXPECT_EQ(a.chess960Castling, b.chess960Castling);
}

// Loads "FEN ;D1 n ;D2 n ..." lines.
struct PerftCase {
    std::string fen;
    std::vector<std::pair<int, unsigned long long>> counts;  // (depth, leaf count)
};
std::vector<PerftCase> loadPerftFile(const std::string& name);

}  // namespace zelmora::test
