#pragma once
// Basic board vocabulary: squares, square sets, piece types, colours and the move word.

#include <cstdint>

namespace zelmora {

// a8 = 0, h8 = 7, a1 = 56, h1 = 63. File = square & 7, square >> 3 counts ranks from the top.
using Square = int;
// Bit n stands for square n: rank 8 is the low byte, rank 1 the high byte.
using Bitboard = std::uint64_t;

constexpr Square NO_SQUARE = -1;

enum PieceType : int { ALL_PIECES = 0, PAWN = 1, KNIGHT = 2, BISHOP = 3, ROOK = 4, QUEEN = 5, KING = 6 };
constexpr int PIECE_TYPE_COUNT = 7;

enum Colour : int { WHITE = 0, BLACK = 1 };

constexpr Colour operator~(Colour c) { return Colour(c ^ 1); }

// Material values in thousandths of a pawn, indexed by piece type.
constexpr int PIECE_VALUE[PIECE_TYPE_COUNT] = {0, 1000, 3220, 3260, 4950, 9772, 0};

constexpr int fileOf(Square s) { return s & 7; }
constexpr int rowOf(Square s) { return s >> 3; }  // 0 = rank 8, 7 = rank 1
constexpr Square makeSquare(int file, int row) { return file + 8 * row; }
constexpr Bitboard bit(Square s) { return Bitboard(1) << s; }

// Castling-right bits.
enum CastlingRight : int { WHITE_KING_SIDE = 1, WHITE_QUEEN_SIDE = 2, BLACK_KING_SIDE = 4, BLACK_QUEEN_SIDE = 8 };

// The move word: from bits 0-5, to bits 6-11, moving piece bits 16-23, promotion bits 24-31.
// The low 16 bits are the short move. Castling is the king moving onto its own rook's square.
using Move = std::uint32_t;
constexpr Move NO_MOVE = 0;

constexpr Move makeMove(Square from, Square to, int piece, int promotion = 0) {
    return Move(from) | Move(to) << 6 | Move(piece) << 16 | Move(promotion) << 24;
}
constexpr Square moveFrom(Move m) { return Square(m & 63); }
constexpr Square moveTo(Move m) { return Square((m >> 6) & 63); }
constexpr int movePiece(Move m) { return int((m >> 16) & 0xFF); }
constexpr int movePromotion(Move m) { return int(m >> 24); }
constexpr std::uint16_t shortMove(Move m) { return std::uint16_t(m & 0xFFFF); }

}  // namespace zelmora
