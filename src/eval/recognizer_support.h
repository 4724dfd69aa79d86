#pragma once
// Shared geometry and bound helpers of the recognizer kinds, and the base of every kind that
// exists once per strong colour: it is written for the strong side and mirrors itself.

#include "board/position.h"
#include "board/units.h"
#include "eval/eval_weights.h"
#include "eval/recognizer.h"
#include "eval/square_geometry.h"

namespace zelmora::endgame {

using namespace weights;

constexpr Bitboard EDGES = FILE_A | FILE_H | RANK_1 | RANK_8;

constexpr Square promotionSquare(Colour c, Square pawn) { return c == WHITE ? fileOf(pawn) + A8 : fileOf(pawn) + A1; }
// The squares a pawn of colour c still has to cross, promotion square included.
constexpr Bitboard pawnPath(Colour c, Square pawn) {
    const Bitboard file = fileMask(fileOf(pawn));
    return c == WHITE ? file & (bit(pawn) - 1) : file & ~(bit(pawn) - 1) & ~bit(pawn);
}
constexpr Bitboard squaresOfColour(Square s) { return (bit(s) & LIGHT_SQUARES) ? LIGHT_SQUARES : DARK_SQUARES; }

// Squares a piece of the given type attacks from s (pawns excluded).
Bitboard pieceAttacks(int type, Square s, Bitboard occupied);
// The one piece of a side besides king and pawns: its type (0 when there is none) and square.
int loneType(const SideRecord& side);
Square loneSquare(const SideRecord& side);

// Squares next to c's king that it may step to.
int safeKingSquares(const Position& pos, Colour c);
// c's pieces other than the king that the enemy attacks, or attacks without c's king defending.
Bitboard attackedPieces(const Position& pos, Colour c);
Bitboard hangingPieces(const Position& pos, Colour c);
// c is to move with a bare king that has no move and is not in check.
bool bareKingStalemated(const Position& pos, Colour c);
// Pawnless piece endings where a quick verdict is unsafe: any piece attacked, a check
// available, a king short of room or on the edge.
bool unclear(const Position& pos);
// How far the defender's king and its one piece stand from a safe setup; 0 and 1 are safe.
int defenceDistance(const Position& pos, Colour defender);
// Tactics the defender of a piece ending may fall to at once: a piece of either side attacked,
// its king and piece apart on one line (skewers and pins), or a knight fork of the two.
bool tacticallyLoose(const Position& pos, Colour defender);

// Bounds in the side to move's view: cut off with lower at or above beta, upper at or below alpha.
inline bool cutOff(int lower, int upper, int alpha, int beta, int& value) {
    if (lower >= beta) {
        value = lower;
        return true;
    }
    if (upper <= alpha) {
        value = upper;
        return true;
    }
    return false;
}

inline int moverView(const Position& pos, int whiteValue) { return pos.whiteToMove() ? whiteValue : -whiteValue; }

class SidedRecognizer : public EndgameRecognizer {
protected:
    SidedRecognizer(Colour strong, const char* whiteName, const char* blackName)
        : EndgameRecognizer(strong == WHITE ? whiteName : blackName), strong_(strong) {}

    const SideRecord& strong(const Position& pos) const { return pos.side(strong_); }
    const SideRecord& weak(const Position& pos) const { return pos.side(~strong_); }
    Colour weakColour() const { return ~strong_; }
    bool strongToMove(const Position& pos) const { return (pos.whiteToMove() != 0) == (strong_ == WHITE); }
    // A value from the strong side's view seen from White's, and back (the map is its own inverse).
    int whiteView(int strongValue) const { return strong_ == WHITE ? strongValue : -strongValue; }
    int strongView(int whiteValue) const { return whiteView(whiteValue); }
    int strongToMover(const Position& pos, int strongValue) const {
        return strongToMove(pos) ? strongValue : -strongValue;
    }
    // The square as the strong side would see it if it were White.
    Square relative(Square s) const { return relativeSquare(strong_, s); }
    // cutOff with bounds from the strong side's view.
    bool cutOffStrong(const Position& pos, int lower, int upper, int alpha, int beta, int& value) const {
        return strongToMove(pos) ? cutOff(lower, upper, alpha, beta, value)
                                 : cutOff(-upper, -lower, alpha, beta, value);
    }

    const Colour strong_;
};

}  // namespace zelmora::endgame
