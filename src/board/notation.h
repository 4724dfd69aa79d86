#pragma once
// Moves to text and back, wherever moves cross the program's boundary.

#include "board/position.h"

namespace zelmora {

enum class MoveStyle { COORDINATE = 2, GERMAN = 4 };

// Writes the move, given the position before it, into buffer (at least 16 bytes); returns buffer.
char* moveToText(const Position& pos, Move m, MoveStyle style, char* buffer);

// Reads coordinate (when coordinate is set), castling and short or long algebraic notation with
// English or German piece letters and the usual decorations. True when the text names exactly
// one legal move.
bool textToMove(const Position& pos, const char* text, Move& move, bool coordinate);

}  // namespace zelmora
