#pragma once
// Moves as the outside world writes them: English SAN for the PGN, coordinates for the engines.

#include <string>
#include <vector>

#include "board/position.h"

namespace zelmora::match {

// The legal moves of the side to move (the position needs fresh attack sets).
std::vector<Move> legalMoves(const Position& pos);

// Standard algebraic notation of a legal move: Nbd7, exd6, e8=Q+, O-O-O, Qh4#.
std::string sanText(const Position& pos, Move m);

// UCI coordinates: e2e4, e7e8q; castling as the king's two-square step, or as king takes own rook
// when chess960 is set.
std::string uciText(const Position& pos, Move m, bool chess960);

}  // namespace zelmora::match
