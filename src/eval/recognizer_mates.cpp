#include <algorithm>

#include "eval/recognizer_kinds.h"

namespace zelmora::endgame {

bool MajorVsKing::evaluate(const Position&, int& value) const {
    value += whiteView(MAJOR_VS_KING_BONUS);
    return false;  // the normal evaluation then drives the bare king to the edge
}

bool MajorVsKing::bound(const Position& pos, int& value, int alpha, int beta, int, int&) const {
    // A stalemated king would turn the "win" into a draw.
    if (attackedPieces(pos, strong_) || bareKingStalemated(pos, weakColour())) return false;
    const int lower = strong(pos).count[QUEEN] ? QUEEN_VS_KING_FLOOR : ROOK_VS_KING_FLOOR;
    return cutOffStrong(pos, lower, MATE, alpha, beta, value);
}

bool QueenVsRook::evaluate(const Position&, int& value) const {
    value += whiteView(QUEEN_VS_ROOK_BONUS);
    return false;
}

bool QueenVsRook::bound(const Position& pos, int& value, int alpha, int beta, int, int&) const {
    if (unclear(pos)) return false;
    return cutOffStrong(pos, QUEEN_VS_ROOK_FLOOR, MATE, alpha, beta, value);
}

// Mate is only forced in a corner of the bishop's colour: the bare king is driven to the edge,
// then along it to such a corner, with the attacking king close.
int BishopKnightMate::matingTerm(const Position& pos) const {
    const Square weakKing = weak(pos).king(), strongKing = strong(pos).king();
    const bool light = (strong(pos).pieces[BISHOP] & LIGHT_SQUARES) != 0;
    const Square first = light ? A8 : H8, second = light ? H1 : A1;
    const Bitboard cornerZone = light ? namedSets.lightCornerZone : namedSets.darkCornerZone;
    const int toCorner = std::min(rookSteps(weakKing, first), rookSteps(weakKing, second));
    return MATING_CORNER * (LONGEST_ROOK_TRIP - toCorner) + MATING_EDGE * rookStepsToCentre(weakKing) +
           MATING_KINGS_CLOSE * (LONGEST_KING_TRIP - kingSteps(strongKing, weakKing)) +
           ((cornerZone & bit(weakKing)) ? MATING_CORNER_ZONE : 0);
}

bool BishopKnightMate::evaluate(const Position& pos, int& value) const {
    value += whiteView(matingTerm(pos));
    return true;
}

bool BishopKnightMate::bound(const Position& pos, int& value, int alpha, int beta, int, int&) const {
    const bool weakToMove = !strongToMove(pos);
    if (weakToMove && (hangingPieces(pos, strong_) || bareKingStalemated(pos, weakColour()))) return false;
    const bool shaky = attackedPieces(pos, strong_) || (strong(pos).pieces[KNIGHT] & namedSets.cornerSquares);
    return cutOffStrong(pos, shaky ? BISHOP_KNIGHT_SHAKY_FLOOR : BISHOP_KNIGHT_FLOOR, MATE, alpha, beta, value);
}

}  // namespace zelmora::endgame
