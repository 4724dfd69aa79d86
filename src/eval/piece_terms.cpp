#include "eval/eval_terms.h"
#include "eval/eval_weights.h"

namespace zelmora {

namespace {

using namespace weights;

constexpr Bitboard FILES_B_TO_G = ~(FILE_A | FILE_H);

// Bishops boxed in on a7/h7 by a defended pawn, or on a1/h1 behind their own pawns (White's view).
template <Colour Us>
int trappedBishops(const Position& pos) {
    constexpr Colour Them = ~Us;
    const SideRecord& own = pos.side(Us);
    const Bitboard bishops = own.pieces[BISHOP];
    const Bitboard ownPawns = own.pieces[PAWN];
    const Bitboard enemyPawns = pos.side(Them).pieces[PAWN];
    auto at = [](Square s) { return bit(relativeSquare(Us, s)); };

    int score = 0;
    if (bishops & (at(A7) | at(H7))) {
        if ((bishops & at(A7)) && (enemyPawns & at(B6) & own.attackedByEnemy)) score += BISHOP_TRAPPED_BY_PAWN;
        if ((bishops & at(H7)) && (enemyPawns & at(G6) & own.attackedByEnemy)) score += BISHOP_TRAPPED_BY_PAWN;
    }
    auto cornered = [&](Square corner, Square diagonal, Square beyond, Square side) {
        if (!(bishops & at(corner)) || !(ownPawns & at(diagonal))) return 0;
        if (pos.occupied() & at(beyond)) return BISHOP_SHUT_IN;
        return (ownPawns & at(side)) ? BISHOP_SHUT_IN : BISHOP_CORNERED;
    };
    return score + cornered(A1, B2, B3, C3) + cornered(H1, G2, G3, F3);
}

template <Colour Us>
PhaseScore pieceTerms(const Position& pos, const PawnEntry& pawns, bool middlegame, bool endgame) {
    constexpr Colour Them = ~Us;
    const SideRecord& own = pos.side(Us);
    const SideRecord& enemy = pos.side(Them);
    const Bitboard ownPieces = own.pieces[ALL_PIECES];
    const Bitboard ownPawns = own.pieces[PAWN];
    const Bitboard enemyAttacks = own.attackedByEnemy;
    const Bitboard ownAttacks = enemy.attackedByEnemy;
    const Bitboard rooks = own.pieces[ROOK];

    PhaseScore s;
    const int pinned = popCount(pos.pinnedAttacked() & ownPieces);
    s.mg += PINNED_MG * pinned;
    s.eg += PINNED_EG * pinned;
    // Hanging: every piece but the king, pawns included, attacked and not defended.
    const int hanging = popCount(ownPieces & ~own.pieces[KING] & enemyAttacks & ~ownAttacks);
    s.mg += HANGING * hanging;
    s.eg += HANGING * hanging;
    if (moreThanOne(ownPawns & enemyAttacks & ~enemy.attackedByEnemyPawns)) {
        s.mg += ATTACKED_PAWNS_MG;
        s.eg += ATTACKED_PAWNS_EG;
    }
    if (own.count[BISHOP] != 0) {
        const int trapped = trappedBishops<Us>(pos);
        s.mg += trapped;
        s.eg += trapped;
    }
    const int outposts = popCount((own.pieces[KNIGHT] | own.pieces[BISHOP]) & pawns.outposts[Us]);
    s.mg += OUTPOST_MG * outposts;
    s.eg += OUTPOST_EG * outposts;
    const int weakAttacked = popCount(ownPawns & pawns.weak & enemyAttacks);
    s.mg += WEAK_PAWN_ATTACKED_MG * weakAttacked;
    s.eg += WEAK_PAWN_ATTACKED_EG * weakAttacked;

    if (rooks != 0) {
        // Files without own pawns, valued by the own pawn count; nothing at all without pawns.
        const int k = popCount(ownPawns);
        const Bitboard rookFiles = (ownPawns | enemy.pieces[PAWN]) != 0 ? ~fileFill(ownPawns) : 0;
        const int onFiles = popCount(rooks & rookFiles);
        s.mg += ROOK_FILE_MG[k] * onFiles;
        s.eg += ROOK_FILE_EG[k] * onFiles;
        // Behind an own passer: on its file with no own pawn behind the rook.
        if (const Bitboard ownPassed = pawns.passed & ownPawns) {
            const int behind = popCount(rooks & fileFill(ownPassed) & ~frontSpan<Us>(ownPawns));
            s.mg += ROOK_BEHIND_PASSER * behind;
            s.eg += ROOK_BEHIND_PASSER * behind;
        }
        const Bitboard seventh = relativeRankMask(Us, 7);
        if (const int onSeventh = popCount(rooks & seventh)) {
            s.mg += ROOK_SEVENTH * onSeventh;
            s.eg += ROOK_SEVENTH * onSeventh;
            // The pawns must be attacked by us, by the rook or otherwise.
            if (moreThanOne(enemy.pieces[PAWN] & seventh & ownAttacks)) {
                s.mg += ROOK_SEVENTH_PAWNS_MG * onSeventh;
                s.eg += ROOK_SEVENTH_PAWNS_EG * onSeventh;
            }
        }
    }

    if (middlegame) {
        constexpr Bitboard d3e3 = bit(relativeSquare(Us, D3)) | bit(relativeSquare(Us, E3));
        s.mg += BLOCKED_CENTRE_PAWN * popCount(ownPieces & ~ownPawns & d3e3 & forward<Us>(ownPawns));

        // Undeveloped: knights on the first rank, and bishops there whose forward diagonal
        // neighbours all hold own pawns.
        const Bitboard firstRank = relativeRankMask(Us, 1);
        int undeveloped = popCount(own.pieces[KNIGHT] & firstRank);
        for (Bitboard b = own.pieces[BISHOP] & firstRank; b != 0;) {
            const Square sq = popLowestBit(b);
            if ((pawnAttacksFrom(Us, sq) & ~ownPawns) == 0) ++undeveloped;
        }
        if (undeveloped != 0) {
            int each = UNDEVELOPED_MINOR;
            if (own.pieces[QUEEN] & ~(firstRank | relativeRankMask(Us, 2))) each += UNDEVELOPED_WITH_QUEEN_OUT;
            const Bitboard homeRanks = firstRank | relativeRankMask(Us, 2) | relativeRankMask(Us, 3);
            if (rooks & ~homeRanks) each += UNDEVELOPED_WITH_ROOK_OUT;
            s.mg += each * undeveloped;
        }

        // Knight outposts by square: defended by a pawn, beyond the reach of enemy pawns.
        for (Bitboard b = own.pieces[KNIGHT] & enemy.attackedByEnemyPawns & ~pawns.attackSpan[Them]; b != 0;)
            s.mg += KNIGHT_OUTPOST[relativeSquare(Us, popLowestBit(b))];

        if (moreThanOne(rooks)) {
            int connected = 0;
            for (int i = 0; i < own.count[ROOK]; ++i)
                connected += popCount(rankAttacksFrom(own.squareList[ROOK][i], pos.occupied()) & rooks);
            s.mg += CONNECTED_ROOKS_MG * (connected / 2);
        }
    }

    if (endgame) {
        for (Bitboard b = pawns.passed & ownPawns; b != 0;) {
            const Square sq = popLowestBit(b);
            const Bitboard stop = forward<Us>(bit(sq));
            const Bitboard onRank = bit(sq);
            if (pos.occupied() & stop) {
                s.eg += BLOCKED_PASSER;
                if (onRank & relativeRankMask(Us, 6)) s.eg += BLOCKED_PASSER_SIXTH;
            }
            // Free passers on the sixth and seventh count in both phases, but only in this block.
            if ((stop & (enemy.pieces[ALL_PIECES] | enemyAttacks)) == 0) {
                const int bonus = (onRank & relativeRankMask(Us, 7)) ? FREE_PASSER_SEVENTH
                                  : (onRank & relativeRankMask(Us, 6)) ? FREE_PASSER_SIXTH
                                                                   : 0;
                s.mg += bonus;
                s.eg += bonus;
            }
        }
        if (own.count[BISHOP] == 1 && ownPawns != 0) {
            const Bitboard colour = (own.pieces[BISHOP] & LIGHT_SQUARES) ? LIGHT_SQUARES : DARK_SQUARES;
            const Bitboard allPawns = ownPawns | enemy.pieces[PAWN];
            const Bitboard poor = ownPawns & FILES_B_TO_G & colour & (backward<Us>(allPawns) | pawns.weak);
            s.eg += PAWN_ON_BISHOP_COLOUR * popCount(poor);
        }
    }
    return s;
}

}  // namespace

void addPieceTerms(const Position& pos, const PawnEntry& pawns, bool middlegame, bool endgame, PhaseScore& score) {
    const PhaseScore white = pieceTerms<WHITE>(pos, pawns, middlegame, endgame);
    const PhaseScore black = pieceTerms<BLACK>(pos, pawns, middlegame, endgame);
    score.mg += white.mg - black.mg;
    score.eg += white.eg - black.eg;
}

}  // namespace zelmora
