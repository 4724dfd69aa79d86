#include "eval/recognizer_support.h"

#include <algorithm>

namespace zelmora::endgame {

Bitboard pieceAttacks(int type, Square s, Bitboard occupied) {
    return type == PAWN ? 0 : attacksOf(type, WHITE, s, occupied);
}

int loneType(const SideRecord& side) {
    for (int t = KNIGHT; t <= QUEEN; ++t)
        if (side.count[t]) return t;
    return 0;
}

Square loneSquare(const SideRecord& side) {
    const int t = loneType(side);
    return t ? side.squareList[t][0] : NO_SQUARE;
}

int safeKingSquares(const Position& pos, Colour c) {
    const SideRecord& s = pos.side(c);
    return popCount(kingAttacks(s.king()) & ~s.attackedByEnemy & ~s.pieces[ALL_PIECES]);
}

Bitboard attackedPieces(const Position& pos, Colour c) {
    const SideRecord& s = pos.side(c);
    return s.pieces[ALL_PIECES] & ~s.pieces[KING] & s.attackedByEnemy;
}

Bitboard hangingPieces(const Position& pos, Colour c) {
    // In these endings the king is the only possible defender besides the lone piece itself.
    const SideRecord& s = pos.side(c);
    return attackedPieces(pos, c) & ~kingAttacks(s.king());
}

bool bareKingStalemated(const Position& pos, Colour c) {
    const SideRecord& s = pos.side(c);
    return pos.sideToMove() == c && s.count[ALL_PIECES] == 1 && !(s.attackedByEnemy & s.pieces[KING]) &&
           safeKingSquares(pos, c) == 0;
}

bool unclear(const Position& pos) {
    for (int c = WHITE; c <= BLACK; ++c) {
        const SideRecord& own = pos.side(c);
        const SideRecord& enemy = pos.side(c ^ 1);
        const Square k = own.king();
        if (attackedPieces(pos, Colour(c)) || (bit(k) & EDGES) || safeKingSquares(pos, Colour(c)) < UNCLEAR_KING_ROOM)
            return true;
        for (int t = KNIGHT; t <= QUEEN; ++t)
            for (int i = 0; i < enemy.count[t]; ++i) {
                const Bitboard checks = pieceAttacks(t, k, pos.occupied()) | bit(k);
                if (pieceAttacks(t, enemy.squareList[t][i], pos.occupied()) & checks & ~enemy.pieces[ALL_PIECES])
                    return true;
            }
    }
    return false;
}

int defenceDistance(const Position& pos, Colour defender) {
    const SideRecord& d = pos.side(defender);
    const Square k = d.king();
    const int edge = std::max(rookStepsToCentre(k) - 1, 0);  // 0 in the middle, 2 on mid-edge, 5 in a corner
    int measure = edge;
    if (d.count[BISHOP]) {
        // A bishop's king also holds in a corner the attacker cannot mate on: not the bishop's colour.
        const bool light = (d.pieces[BISHOP] & LIGHT_SQUARES) != 0;
        const Square first = light ? H8 : A8, second = light ? A1 : H1;
        measure = std::min(edge, std::min(kingSteps(k, first), kingSteps(k, second)));
    } else if (d.count[KNIGHT]) {
        // A knight away from its king is cut off and lost.
        measure += std::max(kingSteps(k, d.squareList[KNIGHT][0]) - 1, 0);
    }
    if (hangingPieces(pos, defender)) measure += DEFENCE_HANGING_PIECE;
    return measure;
}

bool tacticallyLoose(const Position& pos, Colour defender) {
    if (attackedPieces(pos, WHITE) || attackedPieces(pos, BLACK)) return true;
    const SideRecord& d = pos.side(defender);
    const SideRecord& a = pos.side(~defender);
    const Square k = d.king(), piece = loneSquare(d);
    if (piece == NO_SQUARE) return false;
    if (tables.lineThrough[k][piece] && kingSteps(k, piece) > 1) return true;  // next to it the king defends
    for (int i = 0; i < a.count[KNIGHT]; ++i)
        for (Bitboard b = knightAttacks(a.squareList[KNIGHT][i]) & ~pos.occupied(); b;) {
            const Bitboard reach = knightAttacks(popLowestBit(b));
            if ((reach & bit(k)) && (reach & bit(piece))) return true;
        }
    return false;
}

}  // namespace zelmora::endgame
