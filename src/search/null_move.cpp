// The null move: the side to move passes. When even the opponent's second move in a row cannot
// bring the score below beta, the node is settled; when it mates, the node is in danger and gets
// a longer look. Static null pruning is its cheap cousin near the leaves.

#include "search/engine.h"
#include "search/transposition_table.h"

namespace zelmora {

namespace {

// The null move's refutation r moves the piece that the parent's reduced move p has just moved:
// when that piece could have gone for r's square directly, p was a wasted tempo worth a full look.
bool threatRecalled(const Position& pos, Move p, Move r) {
    const Square pFrom = moveFrom(p), pTo = moveTo(p), rTo = moveTo(r);
    if (rTo == pFrom) return true;
    switch (movePiece(p)) {
        case PAWN:
            // p's mover is the side not to move now. A single step off the start rank, when the
            // double step would have reached r's square.
            if (pos.whiteToMove())  // Black pawn
                return rowOf(pFrom) == rowOfRank(7) && pTo == pFrom + 8 && rowOf(rTo) == rowOfRank(5) &&
                       fileOf(rTo) == fileOf(pFrom);
            return rowOf(pFrom) == rowOfRank(2) && pTo == pFrom - 8 && rowOf(rTo) == rowOfRank(4) &&
                   fileOf(rTo) == fileOf(pFrom);
        case BISHOP: return (diagonalsThrough(pFrom) & bit(rTo)) != 0;
        case ROOK: return (linesThrough(pFrom) & bit(rTo)) != 0;
        case QUEEN: return (queenAttacks(pFrom, pos.occupied() & ~bit(pTo)) & bit(rTo)) != 0;
        case KING: return (kingAttacks(pFrom) & bit(rTo)) != 0;
        default: return false;
    }
}

}  // namespace

int Engine::nullMoveMobility() const {
    const Position& pos = position;
    const SideRecord& us = pos.us();
    const SideRecord& them = pos.them();
    const Bitboard squares = them.attackedByEnemy & ~us.pieces[ALL_PIECES] & ~us.attackedByEnemyPawns &
                             ~them.attackedByEnemyPawns & ~kingAttacks(us.king());
    return popCount(squares);
}

bool Engine::nullMoveSettles(int alpha, int beta, int depth, Bitboard freeSliders, int& extension, bool& marked,
                             int& score) {
    if (depth + extension < NULL_MOVE_MIN_DEPTH || pliesSincePreviousNull() <= NULL_MOVE_SPACING || !freeSliders ||
        nullMoveMobility() < NULL_MOVE_MIN_MOBILITY)
        return false;
    Position& pos = position;
    PlyEntry& entry = at(ply);
    const PlyEntry& parent = at(ply - 1);
    const bool afterNull = pliesSinceNull() == 1;
    NullMoveUndo nullUndo;
    pos.makeNullMove(nullUndo);
    const NullMovePath savedNulls = nulls_;
    nulls_ = NullMovePath{ply, nulls_.last};
    entry.currentMove = NO_MOVE;
    entry.movesSearched = -1;
    entry.captured = 0;
    entry.extension = 0;

    int r = NULL_MOVE_REDUCTION;
    if (depth >= NULL_MOVE_DEEP_MIN_DEPTH && !afterNull &&
        (moreThanOne(freeSliders) || depth >= NULL_MOVE_DEEPER_MIN_DEPTH))
        r = NULL_MOVE_DEEP_REDUCTION;
    ++nullMovesTried;
    const int nullScore = -search(-beta, -beta + 1, depth - r - ONE_PLY);

    pos.unmakeNullMove(nullUndo);
    nulls_ = savedNulls;

    if (nullScore >= beta) {
        score = nullScore;
        return true;
    }
    if (nullScore <= -MATE_THRESHOLD && beta > -MATE_THRESHOLD) {
        // A mate threat by a piece that is not simply won extends the node. The refutation is
        // the last move the child tried (cleared on entry, so a child that answered from the
        // table names none).
        const Move refutation = at(ply + 1).currentMove;
        if (refutation != NO_MOVE) {
            const Bitboard from = bit(moveFrom(refutation));
            const SideRecord& them = pos.them();
            if ((them.pieces[ALL_PIECES] & from) && (!(them.attackedByEnemy & from) || (pos.us().attackedByEnemy & from))) {
                extension += MARKED_NODE_EXTENSION;
                marked = true;
            }
        }
    } else if (parent.reduced) {
        const Move p = parent.currentMove, refutation = at(ply + 1).bestMove;
        if (p != NO_MOVE && parent.captured == 0 && refutation != NO_MOVE && moveFrom(refutation) == moveTo(p) &&
            !(pos.occupied() & bit(moveTo(refutation))) && threatRecalled(pos, p, refutation)) {
            score = alpha;
            return true;
        }
    }
    return false;
}

bool Engine::threatTest(int margin) const {
    const Position& pos = position;
    const SideRecord& us = pos.us();
    const SideRecord& them = pos.them();
    const Bitboard enemyAttacks = us.attackedByEnemy;
    const Bitboard ourAttacks = them.attackedByEnemy;

    Bitboard attacked = us.pieces[ALL_PIECES] & ~us.pieces[KING] & enemyAttacks;
    if (margin > THREAT_IGNORES_PAWNS) attacked &= ~us.pieces[PAWN];
    if (margin > THREAT_IGNORES_MINORS) attacked &= ~(us.pieces[KNIGHT] | us.pieces[BISHOP]);
    if (margin > THREAT_IGNORES_ROOKS) attacked &= ~us.pieces[ROOK];

    if (us.pieces[QUEEN] & enemyAttacks) return true;
    if (attacked & ~ourAttacks) return true;
    if (us.pieces[ALL_PIECES] & ~us.pieces[PAWN] & ~us.pieces[KING] & us.attackedByEnemyPawns) return true;
    if ((attacked | kingAttacks(us.king())) & us.attackedTwiceByEnemy & ~them.attackedTwiceByEnemy) return true;
    const Colour enemy = ~pos.sideToMove();
    return (pawnAttacks(them.pieces[PAWN], enemy) & (enemy == WHITE ? RANK_8 : RANK_1)) != 0;
}

}  // namespace zelmora
