#pragma once
// The term groups of the static evaluation and the square-set helpers they share. Every group
// works from White's view unless it says otherwise.

#include "board/position.h"
#include "eval/pawn_table.h"
#include "eval/square_geometry.h"

namespace zelmora {

struct PhaseScore {
    int mg = 0;
    int eg = 0;
};

// Mobility of knights, bishops, rooks and queens, and the space term.
void addMobilityAndSpace(const Position& pos, PhaseScore& score);
// Fills every field of the entry except the key.
void computePawnEntry(const Position& pos, PawnEntry& entry);
// Piece and threat terms; middlegame-only terms when mg is set, endgame-only terms when eg is.
void addPieceTerms(const Position& pos, const PawnEntry& pawns, bool mg, bool eg, PhaseScore& score);
int endgameKingTerm(const Position& pos, const PawnEntry& pawns);
int middlegameKingTerm(const Position& pos);

// Shared square-set helpers.
template <Colour C>
constexpr Bitboard forward(Bitboard b) {
    return C == WHITE ? north(b) : south(b);
}
template <Colour C>
constexpr Bitboard backward(Bitboard b) {
    return C == WHITE ? south(b) : north(b);
}

constexpr Bitboard northFill(Bitboard b) {
    b |= b >> 8;
    b |= b >> 16;
    return b | b >> 32;
}
constexpr Bitboard southFill(Bitboard b) {
    b |= b << 8;
    b |= b << 16;
    return b | b << 32;
}
constexpr Bitboard fileFill(Bitboard b) { return northFill(b) | southFill(b); }
// Squares strictly in front of the set on its files.
template <Colour C>
constexpr Bitboard frontSpan(Bitboard b) {
    return C == WHITE ? northFill(north(b)) : southFill(south(b));
}
// The set plus every square one king step away.
constexpr Bitboard dilate(Bitboard b) {
    b |= east(b) | west(b);
    return b | north(b) | south(b);
}

}  // namespace zelmora
