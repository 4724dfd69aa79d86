#include "eval/eval_terms.h"
#include "eval/eval_weights.h"

namespace zelmora {

namespace {

using namespace weights;

constexpr Bitboard adjacentFiles(int file) {
    return (file > A_FILE ? fileMask(file - 1) : 0) | (file < H_FILE ? fileMask(file + 1) : 0);
}

// Every square on the ranks strictly in front of s, from C's side.
template <Colour C>
constexpr Bitboard ranksInFront(Square s) {
    const int row = rowOf(s);
    if constexpr (C == WHITE) return row == 0 ? 0 : ~Bitboard(0) >> (64 - 8 * row);
    else return row == 7 ? 0 : ~Bitboard(0) << (8 * (row + 1));
}

template <Colour Us>
PhaseScore pawnStructure(const Position& pos, PawnEntry& entry) {
    constexpr Colour Them = ~Us;
    const Bitboard own = pos.side(Us).pieces[PAWN];
    const Bitboard enemy = pos.side(Them).pieces[PAWN];
    const Bitboard ownAttacks = pawnAttacks(own, Us);
    const Bitboard enemyAttacks = pawnAttacks(enemy, Them);
    const Bitboard ownFront = frontSpan<Us>(own);
    const Bitboard enemyFront = frontSpan<Them>(enemy);

    PhaseScore s;
    Bitboard passed = 0;
    for (Bitboard left = own; left != 0;) {
        const Square sq = popLowestBit(left);
        const Bitboard b = bit(sq);
        const int file = fileOf(sq);
        const Bitboard neighbours = adjacentFiles(file);
        const Bitboard ahead = frontSpan<Us>(b);
        const int tableSquare = Us == WHITE ? sq : 63 - sq;
        s.mg += PAWN_SQUARE_MG[tableSquare];
        s.eg += PAWN_SQUARE_EG[tableSquare];

        const bool isolated = (own & neighbours) == 0;
        if (isolated) {
            const int penalty = file == A_FILE || file == H_FILE ? ISOLATED_EDGE_PAWN : ISOLATED_PAWN;
            s.mg += penalty;
            s.eg += penalty;
        }
        if (const Bitboard blockers = own & ahead) {
            s.mg += DOUBLED_PAWN_MG;
            s.eg += DOUBLED_PAWN_EG;
            if (moreThanOne(blockers)) {
                s.mg += TRIPLED_PAWN;
                s.eg += TRIPLED_PAWN;
            }
            if (isolated) {
                s.mg += DOUBLED_ISOLATED_MG;
                s.eg += DOUBLED_ISOLATED_EG;
            }
        }
        if ((ownAttacks & b) && (own & backward<Us>(backward<Us>(b)))) {
            s.mg += SUPPORTED_CHAIN_MG;
            s.eg += SUPPORTED_CHAIN_EG;
        }
        // Passed: no enemy pawn in front on its own or a neighbouring file, and no own pawn in front.
        if ((enemy & (ahead | (ranksInFront<Us>(sq) & neighbours))) == 0 && (own & ahead) == 0) passed |= b;
        // Backward: not isolated, no own pawn beside or behind it on a neighbouring file, and an
        // enemy pawn guards its stop square.
        const bool backwardPawn =
            !isolated && (own & neighbours & ~ranksInFront<Us>(sq)) == 0 && (enemyAttacks & forward<Us>(b)) != 0;
        if (backwardPawn) {
            entry.backward |= b;
            s.mg += BACKWARD_PAWN_MG;
            s.eg += BACKWARD_PAWN_EG;
        }
        if (isolated || backwardPawn) entry.weak |= b;
    }
    entry.passed |= passed;

    const int defended = popCount(own & ownAttacks);
    s.mg += DEFENDED_PAWN_COUNT_MG[defended < DEFENDED_PAWN_COUNT_MAX ? defended : DEFENDED_PAWN_COUNT_MAX];
    s.eg += UNDEFENDED_PAWN_COUNT_EG[popCount(own & ~ownAttacks)];

    constexpr Bitboard centre = Us == WHITE ? bit(D4) | bit(E4) : bit(D5) | bit(E5);
    constexpr Bitboard enemyCentre = Us == WHITE ? bit(D5) | bit(E5) : bit(D4) | bit(E4);
    if ((enemy & enemyCentre) == 0) s.mg += CENTRE_PAWN_MG * popCount(own & centre);

    entry.frontSpan[Us] = ownFront;
    // Outposts: squares on ranks 4 to 6 that an own pawn defends and no enemy pawn can ever attack.
    const Bitboard enemyAttackSpan = pawnAttacks(enemy | enemyFront, Them);
    const Bitboard middleRanks = relativeRankMask(Us, 4) | relativeRankMask(Us, 5) | relativeRankMask(Us, 6);
    entry.outposts[Us] = ownAttacks & ~enemyAttackSpan & middleRanks;
    entry.attackSpan[Them] = enemyAttackSpan;
    // Rook files: files without own pawns (half-open or open), valued by k = the own pawn count.
    entry.rookFiles[Us] = ~fileFill(own);
    entry.rookFileIndex[Us] = popCount(own);
    // Second rook set: the files of own passed pawns; the rook should stand behind them.
    entry.rookSecondSet[Us] = fileFill(passed);
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
