#pragma once
// Basic board vocabulary: squares, square sets, piece types, colours and the move word.

#include <cstdint>

namespace zelmora {

// a8 = 0, h8 = 7, a1 = 56, h1 = 63. File = square & 7, square >> 3 counts ranks from the top.
using Square = int;
// Bit n stands for square n: rank 8 is the low byte, rank 1 the high byte.
using Bitboard = std::uint64_t;

constexpr Square NO_SQUARE = -1;

// Squares by name, numbered as above.
enum SquareName : Square {
    A8, B8, C8, D8, E8, F8, G8, H8,
    A7, B7, C7, D7, E7, F7, G7, H7,
    A6, B6, C6, D6, E6, F6, G6, H6,
    A5, B5, C5, D5, E5, F5, G5, H5,
    A4, B4, C4, D4, E4, F4, G4, H4,
    A3, B3, C3, D3, E3, F3, G3, H3,
    A2, B2, C2, D2, E2, F2, G2, H2,
    A1, B1, C1, D1, E1, F1, G1, H1,
};
// Files by index (fileOf); bitboard.h names the square sets of files and ranks.
enum FileIndex : int { A_FILE, B_FILE, C_FILE, D_FILE, E_FILE, F_FILE, G_FILE, H_FILE };

enum PieceType : int { ALL_PIECES = 0, PAWN = 1, KNIGHT = 2, BISHOP = 3, ROOK = 4, QUEEN = 5, KING = 6 };
constexpr int PIECE_TYPE_COUNT = 7;

enum Colour : int { WHITE = 0, BLACK = 1 };

constexpr Colour operator~(Colour c) { return Colour(c ^ 1); }

// Material values in thousandths of a pawn, indexed by piece type.
constexpr int PIECE_VALUE[PIECE_TYPE_COUNT] = {0, 1000, 3220, 3260, 4950, 9772, 0};

constexpr int fileOf(Square s) { return s & 7; }
constexpr int rowOf(Square s) { return s >> 3; }  // 0 = rank 8, 7 = rank 1
constexpr int rowOfRank(int rank) { return 8 - rank; }
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
