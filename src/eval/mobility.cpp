#include "eval/eval_terms.h"
#include "eval/eval_weights.h"

namespace zelmora {

namespace {

using namespace weights;

// c3-f3, c4-f4 and ranks 5 to 8 for White; the mirror for Black.
constexpr Bitboard WHITE_SPACE = 0x00000000FFFFFFFFULL | 0x3CULL << 32 | 0x3CULL << 40;
constexpr Bitboard BLACK_SPACE = 0xFFFFFFFF00000000ULL | 0x3CULL << 16 | 0x3CULL << 24;

template <Colour Us>
PhaseScore mobility(const Position& pos) {
    constexpr Colour Them = ~Us;
    const SideRecord& own = pos.side(Us);
    const SideRecord& enemy = pos.side(Them);
    const Bitboard enemyAttacks = own.attackedByEnemy;
    const Bitboard throughQueens = pos.occupied() & ~own.pieces[QUEEN];
    const Bitboard enemyQueens = enemy.pieces[QUEEN];
    // Minors may stand where the enemy attacks only when we cover the square twice.
    const Bitboard minorSafe =
        (~own.pieces[ALL_PIECES] & ~own.attackedByEnemyPawns & (~enemyAttacks | enemy.attackedTwiceByEnemy)) |
        (enemy.pieces[ALL_PIECES] & ~enemy.pieces[PAWN]);
    const Bitboard majorSafe = ~own.pieces[ALL_PIECES] & ~enemyAttacks;

    PhaseScore s;
    for (int i = 0; i < own.count[QUEEN]; ++i) {
        const Bitboard a = queenAttacks(own.squareList[QUEEN][i], throughQueens);
        const int n = popCount((a & majorSafe) | (a & enemyQueens));
        s.mg += QUEEN_MOBILITY_MG[n];
        s.eg += QUEEN_MOBILITY_EG[n];
    }
    for (int i = 0; i < own.count[ROOK]; ++i) {
        const Bitboard a = rookAttacks(own.squareList[ROOK][i], throughQueens);
        const int n = popCount((a & majorSafe) | (a & (enemy.pieces[ROOK] | enemyQueens)));
        s.mg += ROOK_MOBILITY_MG[n];
        s.eg += ROOK_MOBILITY_EG[n];
    }
    for (int i = 0; i < own.count[BISHOP]; ++i) {
        const int n = popCount(bishopAttacks(own.squareList[BISHOP][i], throughQueens) & minorSafe);
        s.mg += BISHOP_MOBILITY_MG[n];
        s.eg += BISHOP_MOBILITY_EG[n];
    }
    for (int i = 0; i < own.count[KNIGHT]; ++i) {
        const int n = popCount(knightAttacks(own.squareList[KNIGHT][i]) & minorSafe);
        s.mg += KNIGHT_MOBILITY_MG[n];
        s.eg += KNIGHT_MOBILITY_EG[n];
    }
    return s;
}

}  // namespace

void addMobilityAndSpace(const Position& pos, PhaseScore& score) {
    const PhaseScore white = mobility<WHITE>(pos);
    const PhaseScore black = mobility<BLACK>(pos);
    // attackedByEnemy of one side holds the other side's attacks.
    const int space = popCount(pos.side(BLACK).attackedByEnemy & WHITE_SPACE) -
                      popCount(pos.side(WHITE).attackedByEnemy & BLACK_SPACE);
    score.mg += white.mg - black.mg + SPACE_MG * space;
    score.eg += white.eg - black.eg + SPACE_EG * space;
}

}  // namespace zelmora
