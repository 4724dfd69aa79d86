#include <algorithm>

#include "eval/eval_terms.h"
#include "eval/eval_weights.h"

namespace zelmora {

namespace {

using namespace weights;

// King steps from the set to the target through allowed squares; KING_RACE_MAX_STEPS when the
// target is not reached.
int steps(Bitboard king, Bitboard target, Bitboard allowed) {
    if (king & target) return 0;
    int n = 0;
    while (n < KING_RACE_MAX_STEPS) {
        king = dilate(king) & allowed;
        ++n;
        if (king & target) break;
    }
    return n;
}

// Room of a king: the free neighbours S1, their neighbourhood D, its free part S2.
struct KingRoom {
    Bitboard near;       // D
    Bitboard nearGrown;  // S2 grown by one step
    int value;           // |S2| + KING_ROOM_PER_PAWN |D and pawns|
};

KingRoom kingRoom(const SideRecord& side, Bitboard pawns) {
    const Bitboard blocked = side.attackedByEnemy | side.pieces[ALL_PIECES];
    const Bitboard first = kingAttacks(side.king()) & ~blocked;
    const Bitboard grown = dilate(first);
    const Bitboard second = grown & ~blocked;
    return {grown, dilate(second), popCount(second) + KING_ROOM_PER_PAWN * popCount(grown & pawns)};
}

template <Colour Us>
int kingSafety(const Position& pos) {
    constexpr Colour Them = ~Us;
    const SideRecord& own = pos.side(Us);
    const SideRecord& enemy = pos.side(Them);
    const Square king = own.king();
    const Bitboard ring = kingAttacks(king);
    const Bitboard zone = dilate(ring);
    const Bitboard enemyAttacks = own.attackedByEnemy;
    const Bitboard ownAttacks = enemy.attackedByEnemy;
    const Bitboard ownTwice = enemy.attackedTwiceByEnemy;
    const Bitboard ownPieces = own.pieces[ALL_PIECES];

    const int n = popCount(zone & enemyAttacks & ~enemy.attackedByEnemyPawns);
    int s = KING_SAFETY_SQUARE[king] - KING_ZONE_ATTACK[n];
    if (n == 0) return s;

    if ((ring & ~(enemyAttacks | ownPieces)) == 0) s -= PAWN_SHIELD[popCount(ring & own.pieces[PAWN])];
    const Bitboard doubly = zone & own.attackedTwiceByEnemy & ~ownTwice;
    const int k = doubly == 0 ? 0 : moreThanOne(doubly) ? 2 : 1;
    if (doubly & east(doubly)) s -= DOUBLE_ATTACKS_ON_RANK;
    if (doubly & north(doubly)) s -= DOUBLE_ATTACKS_ON_FILE;
    // c: attacked zone squares that no own piece covers; on the ring the king's own cover
    // does not count, so there a second defender is needed.
    const Bitboard covered = (ownAttacks & ~ring) | (ownTwice & ring);
    s -= popCount(zone & enemyAttacks & ~covered) * ZONE_WEIGHT[k];
    s -= popCount(ownPieces & ~own.pieces[KING] & enemyAttacks & ~ownAttacks) * HANGING_WEIGHT[k];
    s -= popCount(pos.pinnedAttacked() & ownPieces) * PIN_WEIGHT[k];
    if (enemy.count[QUEEN] != 0) {
        // q: contact checks, ring squares the enemy queen reaches with support, free of own
        // pieces and defended by nothing but the king.
        Bitboard queenReach = 0;
        for (int i = 0; i < enemy.count[QUEEN]; ++i) queenReach |= queenAttacks(enemy.squareList[QUEEN][i], pos.occupied());
        const int q = popCount(ring & queenReach & ~ownPieces & own.attackedTwiceByEnemy & ~ownTwice);
        s -= q * QUEEN_WEIGHT[k];
    }
    return s;
}

}  // namespace

int endgameKingTerm(const Position& pos, const PawnEntry& pawnEntry) {
    const SideRecord& white = pos.side(WHITE);
    const SideRecord& black = pos.side(BLACK);
    const Square whiteKing = white.king(), blackKing = black.king();
    const Bitboard whitePawns = white.pieces[PAWN], blackPawns = black.pieces[PAWN];
    const Bitboard pawns = whitePawns | blackPawns;

    int e = KING_CENTRE_EG * (rookStepsToCentre(blackKing) - rookStepsToCentre(whiteKing));
    auto shelter = [](Square king, const SideRecord& side) {
        return KING_SHELTER * std::min(KING_SHELTER_MAX, popCount(kingAttacks(king) & side.pieces[ALL_PIECES]));
    };
    if (black.count[QUEEN] != 0) e += shelter(whiteKing, white);
    if (white.count[QUEEN] != 0) e -= shelter(blackKing, black);

    const Bitboard whiteAllowed = ~(white.attackedByEnemy | whitePawns);
    const Bitboard blackAllowed = ~(black.attackedByEnemy | blackPawns);
    const Bitboard whiteKingSet = bit(whiteKing), blackKingSet = bit(blackKing);
    if (const Bitboard passed = pawnEntry.passed & whitePawns) {
        const Bitboard front = north(passed);
        e += PASSER_KING_RACE * (steps(blackKingSet, front, blackAllowed) - steps(whiteKingSet, front, whiteAllowed));
    }
    if (const Bitboard passed = pawnEntry.passed & blackPawns) {
        const Bitboard front = south(passed);
        e += PASSER_KING_RACE * (steps(blackKingSet, front, blackAllowed) - steps(whiteKingSet, front, whiteAllowed));
    }
    e += KING_NEXT_TO_PAWNS * (popCount(kingAttacks(whiteKing) & pawns) - popCount(kingAttacks(blackKing) & pawns));

    const KingRoom whiteRoom = kingRoom(white, pawns);
    const KingRoom blackRoom = kingRoom(black, pawns);
    e += KING_ROOM * (whiteRoom.value - blackRoom.value);

    const Bitboard undefended = (whitePawns & ~pawnAttacks(whitePawns, WHITE)) | (blackPawns & ~pawnAttacks(blackPawns, BLACK));
    auto clear = [undefended](Square king, const KingRoom& room) {
        return int((kingAttacks(king) & undefended) == 0) + int((room.near & undefended) == 0) +
               int((room.nearGrown & undefended) == 0);
    };
    e += KING_AWAY_FROM_LOOSE_PAWNS * (clear(blackKing, blackRoom) - clear(whiteKing, whiteRoom));
    return e;
}

int middlegameKingTerm(const Position& pos) { return kingSafety<WHITE>(pos) - kingSafety<BLACK>(pos); }

}  // namespace zelmora
