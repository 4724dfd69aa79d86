#pragma once
// Process-wide attack tables. Built once by initBoardTables() before any thread starts,
// read-only afterwards.

// pext gathers a slider's relevant occupancy bits in one instruction, except on AMD processors
// before Zen 3, where it is microcoded and far slower than the multiply.
#if defined(__BMI2__) && !defined(__znver1__) && !defined(__znver2__) && !defined(__bdver4__)
#define ZELMORA_SLIDER_PEXT 1
#include <immintrin.h>
#endif

#include <cstddef>

#include "board/bitboard.h"

namespace zelmora {

void initBoardTables();  // idempotent; also builds the king-and-pawn table

struct SliderMagic {
    Bitboard mask;
    Bitboard multiplier;
    const Bitboard* attacks;
    int shift;
};

struct AttackTables {
    Bitboard kingAttacks[64];
    Bitboard knightAttacks[64];
    Bitboard knightTwoMoves[64];
    Bitboard pawnAttacks[2][64];  // squares a pawn of that colour on the square attacks
    Bitboard between[64][64];     // squares strictly between two squares on a common line, else 0
    Bitboard lineThrough[64][64]; // the whole line through two squares on a common line, else 0
    SliderMagic bishopMagic[64];
    SliderMagic rookMagic[64];
    // Whole line through a square, the square itself excluded.
    Bitboard fileLine[64], rankLine[64], diagA1H8Line[64], diagA8H1Line[64];
    // Attacks along one line for each occupancy pattern of its six inner squares.
    Bitboard fileAttacks[64][64], rankAttacks[64][64], diagA1H8Attacks[64][64], diagA8H1Attacks[64][64];
};

extern AttackTables tables;

inline Bitboard kingAttacks(Square s) { return tables.kingAttacks[s]; }
inline Bitboard knightAttacks(Square s) { return tables.knightAttacks[s]; }
inline Bitboard pawnAttacksFrom(Colour c, Square s) { return tables.pawnAttacks[c][s]; }
inline Bitboard betweenSquares(Square a, Square b) { return tables.between[a][b]; }
// Both diagonals through s, and its file and rank, edge to edge.
inline Bitboard diagonalsThrough(Square s) { return tables.diagA1H8Line[s] | tables.diagA8H1Line[s]; }
inline Bitboard linesThrough(Square s) { return tables.fileLine[s] | tables.rankLine[s]; }

// The pieces that stand alone between the king and one of the snipers (sliders on its lines):
// the pinned pieces, or the ones whose move uncovers a check.
inline Bitboard loneBlockers(Square king, Bitboard snipers, Bitboard occupied) {
    Bitboard blockers = 0;
    while (snipers) {
        const Bitboard between = betweenSquares(king, popLowestBit(snipers)) & occupied;
        if (exactlyOne(between)) blockers |= between;
    }
    return blockers;
}

// With pext the tables are filled in its index order instead of the multiplier's.
inline std::size_t sliderIndex(const SliderMagic& m, Bitboard occupied) {
#ifdef ZELMORA_SLIDER_PEXT
    return static_cast<std::size_t>(_pext_u64(occupied, m.mask));
#else
    return static_cast<std::size_t>(((occupied & m.mask) * m.multiplier) >> m.shift);
#endif
}
inline Bitboard bishopAttacks(Square s, Bitboard occupied) {
    const SliderMagic& m = tables.bishopMagic[s];
    return m.attacks[sliderIndex(m, occupied)];
}
inline Bitboard rookAttacks(Square s, Bitboard occupied) {
    const SliderMagic& m = tables.rookMagic[s];
    return m.attacks[sliderIndex(m, occupied)];
}
inline Bitboard queenAttacks(Square s, Bitboard occupied) {
    return bishopAttacks(s, occupied) | rookAttacks(s, occupied);
}
// The squares a piece of this type and colour attacks from s.
inline Bitboard attacksOf(int type, Colour c, Square s, Bitboard occupied) {
    switch (type) {
        case PAWN: return pawnAttacksFrom(c, s);
        case KNIGHT: return knightAttacks(s);
        case BISHOP: return bishopAttacks(s, occupied);
        case ROOK: return rookAttacks(s, occupied);
        case QUEEN: return queenAttacks(s, occupied);
        case KING: return kingAttacks(s);
        default: return 0;
    }
}

// Attacks along a single line. The file index reverses the bit order of the rank index.
inline Bitboard rankAttacksFrom(Square s, Bitboard occupied) {
    return tables.rankAttacks[s][((occupied & tables.rankLine[s]) * 0x0202020202020202ULL) >> 58];
}
inline Bitboard diagA1H8AttacksFrom(Square s, Bitboard occupied) {
    return tables.diagA1H8Attacks[s][((occupied & tables.diagA1H8Line[s]) * 0x0202020202020202ULL) >> 58];
}
inline Bitboard diagA8H1AttacksFrom(Square s, Bitboard occupied) {
    return tables.diagA8H1Attacks[s][((occupied & tables.diagA8H1Line[s]) * 0x0202020202020202ULL) >> 58];
}
inline Bitboard fileAttacksFrom(Square s, Bitboard occupied) {
    return tables.fileAttacks[s][(((occupied & tables.fileLine[s]) >> fileOf(s)) * 0x0080402010080402ULL) >> 58];
}

// Named square sets, parsed from square-name strings at start-up.
struct NamedSquareSets {
    Bitboard longDiagonals, secondRing, cornerSquares, lightCornerZone, darkCornerZone, kpkPawnSquares;
};
extern NamedSquareSets namedSets;

// Reads pairs of (file letter in either case, rank digit) up to the end of the text.
Bitboard parseSquareList(const char* text);

}  // namespace zelmora
