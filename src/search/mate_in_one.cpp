// Mate in one move, found by pattern: queen contact mates and back-rank mates.

#include "search/mate_in_one.h"

#include "board/movegen.h"

namespace zelmora {

namespace {

bool mates(Position& pos, Move m) {
    UndoRecord undo;
    if (!pos.makeLegal(m, undo)) return false;
    const bool mate = pos.inCheck() && noLegalMove(pos);
    pos.unmake(undo);
    return mate;
}

}  // namespace

bool findMateInOne(Position& pos, Move& move) {
    move = NO_MOVE;
    const SideRecord& us = pos.us();
    const SideRecord& them = pos.them();
    const Square king = them.king();
    if (!(bit(king) & EDGES)) return false;

    // Queen contact mate: the queen next to the king, backed by another attacker, on a square
    // that only the king guards.
    if (us.pieces[QUEEN]) {
        const Bitboard contact = kingAttacks(king) & them.attackedTwiceByEnemy & ~us.pieces[ALL_PIECES] &
                                 ~us.attackedTwiceByEnemy;
        if (contact) {
            for (int i = 0; i < us.count[QUEEN]; ++i) {
                const Square from = us.squareList[QUEEN][i];
                for (Bitboard b = queenAttacks(from, pos.occupied()) & contact; b;) {
                    const Move m = makeMove(from, popLowestBit(b), QUEEN);
                    if (mates(pos, m)) {
                        move = m;
                        return true;
                    }
                }
            }
        }
    }

    // Back-rank mate: the king on the first or last rank with no way off it, and a rook or queen
    // reaching the rank with check.
    const Bitboard majors = us.pieces[ROOK] | us.pieces[QUEEN];
    const int row = rowOf(king);
    if (majors && (row == 0 || row == 7)) {
        const Bitboard rank = rowMask(row);
        const Bitboard flights = kingAttacks(king) & ~rank & ~them.pieces[ALL_PIECES] & ~them.attackedByEnemy;
        if (!flights) {
            const Bitboard checks = rankAttacksFrom(king, pos.occupied()) & ~us.pieces[ALL_PIECES];
            for (int type = ROOK; type <= QUEEN; ++type) {
                for (int i = 0; i < us.count[type]; ++i) {
                    const Square from = us.squareList[type][i];
                    const Bitboard reach =
                        type == QUEEN ? queenAttacks(from, pos.occupied()) : rookAttacks(from, pos.occupied());
                    for (Bitboard b = reach & checks; b;) {
                        const Move m = makeMove(from, popLowestBit(b), type);
                        if (mates(pos, m)) {
                            move = m;
                            return true;
                        }
                    }
                }
            }
        }
    }
    return false;
}

}  // namespace zelmora
