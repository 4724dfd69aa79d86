#include "eval/eval_terms.h"
#include "eval/eval_weights.h"

namespace zelmora {

namespace {

using namespace weights;

template <Colour Us>
PhaseScore pawnStructure(const Position& pos, PawnEntry& entry) {
    constexpr Colour Them = ~Us;
    const Bitboard own = pos.side(Us).pieces[PAWN];
    const Bitboard enemy = pos.side(Them).pieces[PAWN];
    const Bitboard ownAttacks = pawnAttacks(own, Us);
    const Bitboard enemyAttacks = pawnAttacks(enemy, Them);
    const Bitboard enemyFront = frontSpan<Them>(enemy);

    PhaseScore s;
    for (Bitboard left = own; left != 0;) {
        const int tableSquare = Us == WHITE ? popLowestBit(left) : 63 - popLowestBit(left);
        s.mg += PAWN_SQUARE_MG[tableSquare];
        s.eg += PAWN_SQUARE_EG[tableSquare];
    }

    // The per-pawn rules, applied to all pawns at once; frontSpan<Them> of a set is every square
    // behind it from our side.
    const Bitboard besideOwn = east(own) | west(own);
    const Bitboard isolated = own & ~fileFill(besideOwn);
    const int isolatedOnEdge = popCount(isolated & (FILE_A | FILE_H));
    const int isolatedElsewhere = popCount(isolated) - isolatedOnEdge;
    const int isolation = ISOLATED_EDGE_PAWN * isolatedOnEdge + ISOLATED_PAWN * isolatedElsewhere;
    s.mg += isolation;
    s.eg += isolation;

    const Bitboard doubled = own & frontSpan<Them>(own);  // an own pawn stands in front
    const Bitboard tripled = own & frontSpan<Them>(doubled);
    s.mg += DOUBLED_PAWN_MG * popCount(doubled) + TRIPLED_PAWN * popCount(tripled) +
            DOUBLED_ISOLATED_MG * popCount(doubled & isolated);
    s.eg += DOUBLED_PAWN_EG * popCount(doubled) + TRIPLED_PAWN * popCount(tripled) +
            DOUBLED_ISOLATED_EG * popCount(doubled & isolated);

    const int chains = popCount(own & ownAttacks & forward<Us>(forward<Us>(own)));
    s.mg += SUPPORTED_CHAIN_MG * chains;
    s.eg += SUPPORTED_CHAIN_EG * chains;

    // Passed: no enemy pawn in front on its own or a neighbouring file, and no own pawn in front.
    const Bitboard passed = own & ~frontSpan<Them>(enemy | east(enemy) | west(enemy)) & ~doubled;
    entry.passed |= passed;
    // Backward: not isolated, no own pawn beside or behind it on a neighbouring file, and an
    // enemy pawn guards its stop square.
    const Bitboard besideOrBehind = besideOwn | frontSpan<Us>(besideOwn);
    const Bitboard backwardPawns = own & ~isolated & ~besideOrBehind & backward<Us>(enemyAttacks);
    const int backwardCount = popCount(backwardPawns);
    s.mg += BACKWARD_PAWN_MG * backwardCount;
    s.eg += BACKWARD_PAWN_EG * backwardCount;
    entry.weak |= isolated | backwardPawns;

    const int defended = popCount(own & ownAttacks);
    s.mg += DEFENDED_PAWN_COUNT_MG[defended < DEFENDED_PAWN_COUNT_MAX ? defended : DEFENDED_PAWN_COUNT_MAX];
    s.eg += UNDEFENDED_PAWN_COUNT_EG[popCount(own & ~ownAttacks)];

    constexpr Bitboard centre = Us == WHITE ? bit(D4) | bit(E4) : bit(D5) | bit(E5);
    constexpr Bitboard enemyCentre = Us == WHITE ? bit(D5) | bit(E5) : bit(D4) | bit(E4);
    if ((enemy & enemyCentre) == 0) s.mg += CENTRE_PAWN_MG * popCount(own & centre);

    // Outposts: squares on ranks 4 to 6 that an own pawn defends and no enemy pawn can ever attack.
    const Bitboard enemyAttackSpan = pawnAttacks(enemy | enemyFront, Them);
    const Bitboard middleRanks = relativeRankMask(Us, 4) | relativeRankMask(Us, 5) | relativeRankMask(Us, 6);
    entry.outposts[Us] = ownAttacks & ~enemyAttackSpan & middleRanks;
    entry.attackSpan[Them] = enemyAttackSpan;
    return s;
}

}  // namespace

void computePawnEntry(const Position& pos, PawnEntry& entry) {
    const std::uint64_t key = entry.key;
    entry = PawnEntry{};
    entry.key = key;
    const PhaseScore white = pawnStructure<WHITE>(pos, entry);
    const PhaseScore black = pawnStructure<BLACK>(pos, entry);
    entry.middlegame = white.mg - black.mg;
    entry.endgame = white.eg - black.eg;
}

}  // namespace zelmora
