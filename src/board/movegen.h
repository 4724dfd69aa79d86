#pragma once
// Pseudo-legal move generation. King steps and castling are checked against the attack sets;
// everything else is checked when the move is made.

#include "board/position.h"

namespace zelmora {

struct MoveEntry {
    Move move;
    std::int32_t score;  // ordering score, filled by the move picker
};

// Enough for every pseudo-legal move of a chess position.
constexpr int MAX_MOVES = 256;

// Fills list with the moves of the side to move: evasions when in check; otherwise all moves,
// or with tactical set captures (queen promotions only) plus, with withChecks, quiet checks.
// Needs fresh attack sets for both colours. Returns the number of moves.
int generateMoves(const Position& pos, MoveEntry* list, bool tactical = false, bool withChecks = false);

// The castling moves the generator would list (rights, empty path, no attacked square on the
// king's way); the rook may still shield the king, so they are not yet known to be legal.
int generateCastlingMoves(const Position& pos, MoveEntry* list);

// All pseudo-legal moves of the piece on the square (used for discovered checks).
int generatePieceMoves(const Position& pos, Square from, MoveEntry* list);

// True when the side to move has no legal move; outcome is then +1 White wins, -1 Black wins,
// 0 stalemate. Needs fresh attack sets.
bool noLegalMove(const Position& pos, int* outcome = nullptr);

// Whether the generator produces the move here (pseudo-legal), and whether it is also legal.
bool isGeneratedMove(const Position& pos, Move move);
bool isLegalMove(const Position& pos, Move move);

// The full move of the side to move whose from/to equal the short move, if it is legal.
Move findLegalShortMove(const Position& pos, std::uint16_t shortMove);

}  // namespace zelmora
