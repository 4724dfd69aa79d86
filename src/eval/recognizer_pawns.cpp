#include <algorithm>

#include "board/kpk.h"
#include "eval/recognizer_kinds.h"

namespace zelmora::endgame {

namespace {

// The table's verdict for the strong side's king and pawn against the weak king, the strong side
// seen as White. True for a win, with the distance.
bool kpkWin(Square strongKing, Square pawn, Square weakKing, bool strongToMove, int& distance) {
    distance = kpkProbe(strongKing, pawn, weakKing, strongToMove);
    return distance >= 1 && distance < KPK_DRAW;
}

}  // namespace

int KingPawnVsKing::strongValue(const Position& pos) const {
    int entry;
    const bool win = kpkWin(relative(strong(pos).king()), relative(strong(pos).squareList[PAWN][0]),
                            relative(weak(pos).king()), strongToMove(pos), entry);
    return win ? KPK_WIN_BASE - entry : DRAWN_EDGE;
}

bool KingPawnVsKing::evaluate(const Position& pos, int& value) const {
    value = whiteView(strongValue(pos));
    return true;
}

bool KingPawnVsKing::evaluateQuiet(const Position& pos, int& value) const {
    value = strongToMover(pos, strongValue(pos));
    return true;
}

bool KingPawnVsKing::bound(const Position& pos, int& value, int alpha, int beta, int, int&) const {
    if (strongValue(pos) > DRAWN_EDGE) return cutOffStrong(pos, KPK_WIN_FLOOR, MATE, alpha, beta, value);
    if (beta < 0) {
        value = -DRAWN_EDGE;
        return true;
    }
    if (alpha >= DRAWN_EDGE) {
        value = DRAWN_EDGE;
        return true;
    }
    return false;
}

// Rook pawns with a bishop that cannot cover the promotion square, the bare king next to that
// square: the king cannot be driven out of the corner. Pawns of the defender could give the
// attacker zugzwang tricks, so only the bare king counts.
bool MinorPawnVsKing::drawnSetup(const Position& pos) const {
    const SideRecord& s = strong(pos);
    if (weak(pos).count[ALL_PIECES] != 1 || s.count[BISHOP] != 1 || s.count[KNIGHT] != 0) return false;
    const Bitboard pawns = s.pieces[PAWN];
    const int file = fileOf(s.squareList[PAWN][0]);
    if ((file != A_FILE && file != H_FILE) || (pawns & ~fileMask(file))) return false;
    const Square promotion = promotionSquare(strong_, s.squareList[PAWN][0]);
    if (squaresOfColour(promotion) & s.pieces[BISHOP]) return false;
    return kingSteps(weak(pos).king(), promotion) <= 1;
}

bool MinorPawnVsKing::evaluate(const Position& pos, int& value) const {
    if (!drawnSetup(pos)) return false;
    value = whiteView(DRAWN_EDGE);
    return true;
}

bool MinorPawnVsKing::evaluateQuiet(const Position& pos, int& value) const {
    if (!drawnSetup(pos)) return false;
    value = strongToMover(pos, DRAWN_EDGE);
    return true;
}

bool MinorPawnVsKing::bound(const Position& pos, int& value, int alpha, int beta, int, int&) const {
    if (drawnSetup(pos)) {
        value = strongToMover(pos, DRAWN_EDGE);
        return true;
    }
    if (weak(pos).count[ALL_PIECES] != 1) return false;
    return cutOffStrong(pos, 0, MATE, alpha, beta, value);  // a bare king never wins
}

// The minor can only win by mating a king hemmed in by its own pawn; with too few free squares
// that is near enough to leave everything to the search.
bool PawnVsMinor::exposed(const Position& pos) const {
    return safeKingSquares(pos, strong_) < PAWN_VS_MINOR_KING_ROOM;
}

bool PawnVsMinor::evaluate(const Position& pos, int& value) const {
    if (exposed(pos)) return false;
    const SideRecord& s = strong(pos);
    const SideRecord& w = weak(pos);
    const Square pawn = s.squareList[PAWN][0];
    const Square minor = loneSquare(w);
    // With the minor en prise the pawn side may take it and reach the king-and-pawn ending with
    // the move passed, so the table's verdict for this side to move would not hold.
    const bool minorAttacked = (bit(minor) & w.attackedByEnemy) != 0;
    int entry;
    const bool kpkWon = kpkWin(relative(s.king()), relative(pawn), relative(w.king()), strongToMove(pos), entry);
    if (!kpkWon && !minorAttacked) {
        value = whiteView(DRAWN_EDGE);
        return true;
    }
    // The minor can always give itself for the pawn: the pawn side can hope for a queen only while
    // the minor stays off the pawn's path.
    const Bitboard path = pawnPath(strong_, pawn);
    const bool controlsPath = ((pieceAttacks(loneType(w), minor, pos.occupied()) | bit(minor)) & path) != 0;
    const int hope = PAWN_VS_MINOR_BASE + PAWN_VS_MINOR_PER_RANK * ranksFromHome(strong_, pawn);
    value = whiteView(controlsPath ? DRAWN_EDGE : hope);
    return false;
}

bool PawnVsMinor::evaluateQuiet(const Position& pos, int& value) const {
    int v = 0;
    if (!evaluate(pos, v)) return false;
    value = moverView(pos, v);
    return true;
}

bool PawnVsMinor::bound(const Position& pos, int& value, int alpha, int beta, int, int&) const {
    if (exposed(pos)) return false;
    return cutOffStrong(pos, 0, MATE, alpha, beta, value);
}

// Two knights beat a pawn when one of them blockades it early enough: the pawn keeps the
// defender from stalemate.
bool TwoKnightsVsPawn::evaluate(const Position& pos, int& value) const {
    const SideRecord& w = weak(pos);
    const Square pawn = w.squareList[PAWN][0];
    const Square weakKing = w.king();
    const int drive = MATING_EDGE * rookStepsToCentre(weakKing) +
                      MATING_KINGS_CLOSE * (LONGEST_KING_TRIP - kingSteps(strong(pos).king(), weakKing));
    const bool held = ranksFromHome(weakColour(), pawn) <= TWO_KNIGHTS_BLOCKADE_LIMIT[fileOf(pawn)];
    const Square stop = weakColour() == WHITE ? pawn - 8 : pawn + 8;
    int v;
    if (held && (strong(pos).pieces[KNIGHT] & bit(stop))) v = TWO_KNIGHTS_BLOCKADE + drive;
    else if (held) v = TWO_KNIGHTS_HELD_PAWN + drive / TWO_KNIGHTS_HELD_DRIVE_DIVISOR;
    else v = TWO_KNIGHTS_FREE_PAWN;
    value = whiteView(v);
    return false;
}

}  // namespace zelmora::endgame
