#include <algorithm>

#include "eval/evaluator.h"
#include "eval/recognizer_kinds.h"

namespace zelmora::endgame {

namespace {

// The enemy king catches c's pawn if it can step onto one of the pawn's squares while the pawn
// stands there: within as many moves as the pawn has made by then, one more with the move.
bool caught(Square pawn, Square enemyKing, Colour c, bool enemyToMove) {
    const int step = c == WHITE ? -8 : 8;
    const Square promotion = promotionSquare(c, pawn);
    Square s = pawn;
    for (int moves = 0;; ++moves) {
        if (kingSteps(enemyKing, s) <= moves + (enemyToMove ? 1 : 0)) return true;
        if (s == promotion) return false;
        s += (moves == 0 && ranksFromHome(c, pawn) == 1) ? 2 * step : step;
    }
}

// A passed pawn with a free path that the enemy king cannot catch, while the enemy has no passed
// pawn to race with and no pawn on its fifth rank or beyond that could break through.
bool hasRunner(const Position& pos, Bitboard passed, Colour c) {
    const Bitboard enemyPawns = pos.side(~c).pieces[PAWN];
    const Colour enemy = ~c;
    const Bitboard enemyAdvanced =
        relativeRankMask(enemy, 5) | relativeRankMask(enemy, 6) | relativeRankMask(enemy, 7);
    if ((passed & enemyPawns) || (enemyPawns & enemyAdvanced)) return false;
    const bool enemyToMove = pos.sideToMove() != c;
    for (Bitboard b = passed & pos.side(c).pieces[PAWN]; b;) {
        const Square pawn = popLowestBit(b);
        if (!(pawnPath(c, pawn) & pos.occupied()) && !caught(pawn, pos.side(~c).king(), c, enemyToMove)) return true;
    }
    return false;
}

int passedPawnTerm(const Position& pos, Bitboard passed, Colour c) {
    const SideRecord& own = pos.side(c);
    const Square enemyKing = pos.side(~c).king();
    int v = 0;
    for (Bitboard b = passed & own.pieces[PAWN]; b;) {
        const Square pawn = popLowestBit(b);
        const int fromHome = ranksFromHome(c, pawn);
        const Square stop = c == WHITE ? pawn - 8 : pawn + 8;
        v += PASSED_PAWN_RANK[fromHome];
        v += PASSED_PAWN_KING_RACE * fromHome *
             std::clamp(kingSteps(enemyKing, stop) - kingSteps(own.king(), stop), -PASSED_PAWN_KING_RACE_MAX,
                        PASSED_PAWN_KING_RACE_MAX);
    }
    return v;
}

}  // namespace

bool PawnEnding::bound(const Position& pos, int&, int, int, int, int& depthAdjust) const {
    const SideRecord& us = pos.us();
    const bool zugzwangLooms = !(kingAttacks(us.king()) & ~us.attackedByEnemy);
    if (zugzwangLooms) depthAdjust += PAWN_ENDING_ZUGZWANG_EXTENSION;
    return false;
}

int PawnEnding::scale(const Position& pos, const Evaluator& evaluator, int value) const {
    const Bitboard passed = evaluator.pawnEntry().passed;
    value += passedPawnTerm(pos, passed, WHITE) - passedPawnTerm(pos, passed, BLACK);
    if (hasRunner(pos, passed, WHITE)) value += UNSTOPPABLE_PAWN;
    if (hasRunner(pos, passed, BLACK)) value -= UNSTOPPABLE_PAWN;
    return value;
}

}  // namespace zelmora::endgame
