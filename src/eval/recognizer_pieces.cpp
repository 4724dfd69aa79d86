#include <algorithm>

#include "eval/recognizer_kinds.h"

namespace zelmora::endgame {

// These endings are draws with a well-placed defender; the attacker's chances grow with the
// square of the defender's distance from safety.
int DefenceRecognizer::strongValue(const Position& pos, int measure) const {
    if (strong(pos).count[KNIGHT] == 2) return 1;  // two knights cannot force anything
    const int d = std::max(measure - 1, 0);
    return d * d * weight_ + 1;
}

// Secure enough to stop searching: a good setup with no tactic pending.
bool DefenceRecognizer::secure(const Position& pos, int measure) const {
    return (measure <= 1 || strong(pos).count[KNIGHT] == 2) && !tacticallyLoose(pos, weakColour());
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
    if (!givesBounds_ || secure(pos, defenceDistance(pos, weakColour())) || safeKingSquares(pos, strong_) < 2)
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
    const bool whitePawn = pos.side[WHITE].count[PAWN] != 0;
    if (!whitePawn && value > 0) return 0;
    if (whitePawn && value < 0) return 0;
    return value;
}

namespace {

// By the pawn's rank from its own side: the further it stands, the fewer defences remain.
constexpr int PAWN_RANK_BONUS[8] = {0, 0, 50, 100, 200, 350, 500, 0};
// By file: rook pawns are the easiest to hold, knight pawns the next.
constexpr int PAWN_FILE_BONUS[8] = {-250, -80, 0, 0, 0, 0, -80, -250};

}  // namespace

bool RookPawnVsRook::evaluate(const Position& pos, int& value) const {
    const SideRecord& s = strong(pos);
    const SideRecord& w = weak(pos);
    const Square pawn = s.squareList[PAWN][0];
    const Square promotion = promotionSquare(strong_, pawn);
    const Bitboard path = pawnPath(strong_, pawn);
    const Bitboard behind = fileMask(fileOf(pawn)) & ~path & ~bit(pawn);
    int v = strongView(value);
    if (bit(w.king()) & path) {
        v /= 4;  // the defending king in front holds the draw
    } else {
        v += PAWN_RANK_BONUS[ranksFromHome(strong_, pawn)] + PAWN_FILE_BONUS[fileOf(pawn)];
        v += std::clamp(40 * (kingSteps(w.king(), promotion) - kingSteps(s.king(), promotion)), -200, 200);
    }
    // A rook behind the passed pawn, on either side, is worth most.
    if (s.pieces[ROOK] & behind) v += 150;
    if (w.pieces[ROOK] & behind) v -= 150;
    value = whiteView(v);
    return false;
}

// The classical balance of the two material sums with a weight of 333 on the ratio.
bool QueenMinorVsQueen::evaluate(const Position& pos, int& value) const {
    const int a = pos.side[WHITE].materialSum, b = pos.side[BLACK].materialSum;
    value = (a - b) + 333 * (a - b) / (a + b + 100);
    return true;
}

}  // namespace zelmora::endgame
