#pragma once
// Square-set primitives. Every loop over a set walks it from its lowest bit upward.

#include <bit>

#include "board/types.h"

namespace zelmora {

constexpr Bitboard FILE_A = 0x0101010101010101ULL;
constexpr Bitboard FILE_H = 0x8080808080808080ULL;
constexpr Bitboard RANK_8 = 0x00000000000000FFULL;
constexpr Bitboard RANK_1 = 0xFF00000000000000ULL;
constexpr Bitboard LIGHT_SQUARES = 0xAA55AA55AA55AA55ULL;  // a8, h1 and their colour
constexpr Bitboard DARK_SQUARES = 0x55AA55AA55AA55AAULL;
constexpr Bitboard EDGES = FILE_A | FILE_H | RANK_1 | RANK_8;

constexpr Bitboard fileMask(int file) { return FILE_A << file; }
constexpr Bitboard rowMask(int row) { return RANK_8 << (8 * row); }

constexpr int popCount(Bitboard b) { return std::popcount(b); }
constexpr Square lowestBit(Bitboard b) { return std::countr_zero(b); }
inline Square popLowestBit(Bitboard& b) {
    Square s = std::countr_zero(b);
    b &= b - 1;
    return s;
}
constexpr bool moreThanOne(Bitboard b) { return (b & (b - 1)) != 0; }
constexpr bool exactlyOne(Bitboard b) { return b != 0 && !moreThanOne(b); }

// Steps on the board; west/east and the diagonals never wrap around a board edge.
constexpr Bitboard north(Bitboard b) { return b >> 8; }
constexpr Bitboard south(Bitboard b) { return b << 8; }
constexpr Bitboard west(Bitboard b) { return (b & ~FILE_A) >> 1; }
constexpr Bitboard east(Bitboard b) { return (b & ~FILE_H) << 1; }
constexpr Bitboard northWest(Bitboard b) { return (b & ~FILE_A) >> 9; }
constexpr Bitboard northEast(Bitboard b) { return (b & ~FILE_H) >> 7; }
constexpr Bitboard southWest(Bitboard b) { return (b & ~FILE_A) << 7; }
constexpr Bitboard southEast(Bitboard b) { return (b & ~FILE_H) << 9; }

// Squares attacked by the pawns of one colour (White pawns move toward lower square numbers).
constexpr Bitboard pawnAttacks(Bitboard pawns, Colour c) {
    return c == WHITE ? northWest(pawns) | northEast(pawns) : southWest(pawns) | southEast(pawns);
}

// bit(a) | bit(b): the from/to mask of a move.
constexpr Bitboard twoSquares(Square a, Square b) { return bit(a) | bit(b); }

}  // namespace zelmora
