#include <algorithm>

#include "eval/recognizer_kinds.h"

namespace zelmora::endgame {

// These endings are draws with a well-placed defender; the attacker's chances grow with the
// square of the defender's distance from safety.
int DefenceRecognizer::strongValue(const Position& pos, int measure) const {
    if (strong(pos).count[KNIGHT] == 2) return DRAWN_EDGE;  // two knights cannot force anything
    const int d = std::max(measure - SAFE_DEFENCE, 0);
    return d * d * weight_ + DRAWN_EDGE;
}

// Secure enough to stop searching: a good setup with no tactic pending.
bool DefenceRecognizer::secure(const Position& pos, int measure) const {
    return (measure <= SAFE_DEFENCE || strong(pos).count[KNIGHT] == 2) && !tacticallyLoose(pos, weakColour());
}

bool DefenceRecognizer::evaluate(const Position& pos, int& value) const {
    value = whiteView(strongValue(pos, defenceDistance(pos, weakColour())));
    return true;
}

bool DefenceRecognizer::evaluateQuiet(const Position& pos, int& value) const {
    const int measure = defenceDistance(pos, weakColour());
    if (!secure(pos, measure)) return false;
    value = strongToMover(pos, strongValue(pos, measure));
    return true;
}

// The stronger side cannot lose unless its own king is boxed in or the defender, to move, takes
// a loose piece.
bool DefenceRecognizer::bound(const Position& pos, int& value, int alpha, int beta, int, int&) const {
    if (!givesBounds_ || secure(pos, defenceDistance(pos, weakColour())) ||
        safeKingSquares(pos, strong_) < DEFENCE_ATTACKER_KING_ROOM)
        return false;
    if (!strongToMove(pos) && hangingPieces(pos, strong_)) return false;
    return cutOffStrong(pos, 0, MATE, alpha, beta, value);
}

bool RookMinorVsRookPawn::evaluate(const Position&, int& value) const {
    value = parameter_;
    return false;
}

// The side with the piece and no pawn cannot win.
int RookMinorVsRookPawn::scale(const Position& pos, const Evaluator&, int value) const {
    const bool whitePawn = pos.side(WHITE).count[PAWN] != 0;
    if (!whitePawn && value > 0) return 0;
    if (whitePawn && value < 0) return 0;
    return value;
}

bool RookPawnVsRook::evaluate(const Position& pos, int& value) const {
    const SideRecord& s = strong(pos);
    const SideRecord& w = weak(pos);
    const Square pawn = s.squareList[PAWN][0];
    const Square promotion = promotionSquare(strong_, pawn);
    const Bitboard path = pawnPath(strong_, pawn);
    const Bitboard behind = fileMask(fileOf(pawn)) & ~path & ~bit(pawn);
    int v = strongView(value);
    if (bit(w.king()) & path) {
        v /= ROOK_PAWN_KING_IN_FRONT_DIVISOR;  // the defending king in front holds the draw
    } else {
        // The further the pawn stands, the fewer defences remain.
        v += ROOK_PAWN_RANK[ranksFromHome(strong_, pawn)] + ROOK_PAWN_FILE[fileOf(pawn)];
        v += std::clamp(ROOK_PAWN_KING_RACE * (kingSteps(w.king(), promotion) - kingSteps(s.king(), promotion)),
                        -ROOK_PAWN_KING_RACE_MAX, ROOK_PAWN_KING_RACE_MAX);
    }
    // A rook behind the passed pawn, on either side, is worth most.
    if (s.pieces[ROOK] & behind) v += ROOK_BEHIND_PAWN;
    if (w.pieces[ROOK] & behind) v -= ROOK_BEHIND_PAWN;
    value = whiteView(v);
    return false;
}

// The classical balance of the two material sums, with a heavier weight on the ratio.
bool QueenMinorVsQueen::evaluate(const Position& pos, int& value) const {
    const int a = pos.side(WHITE).materialSum, b = pos.side(BLACK).materialSum;
    value = (a - b) + QUEEN_MINOR_RATIO_WEIGHT * (a - b) / (a + b + MATERIAL_SUM_OFFSET);
    return true;
}

}  // namespace zelmora::endgame
