#include "board/attacks.h"

#include "board/board_data.h"
#include "board/kpk.h"

namespace zelmora {

AttackTables tables;
NamedSquareSets namedSets;

namespace {

Bitboard bishopAttackArray[5248];
Bitboard rookAttackArray[102400];

bool onBoard(int file, int row) { return file >= 0 && file < 8 && row >= 0 && row < 8; }

Bitboard stepTargets(Square s, const int (*steps)[2], int count) {
    Bitboard result = 0;
    for (int i = 0; i < count; ++i) {
        int f = fileOf(s) + steps[i][0], r = rowOf(s) + steps[i][1];
        if (onBoard(f, r)) result |= bit(makeSquare(f, r));
    }
    return result;
}

// Ray attacks up to and including the first occupied square; with stopBeforeEdge the last
// square of every ray is left out (the relevant-occupancy mask).
Bitboard rayAttacks(Square s, Bitboard occupied, const int (*dirs)[2], int count, bool stopBeforeEdge) {
    Bitboard result = 0;
    for (int d = 0; d < count; ++d) {
        int f = fileOf(s) + dirs[d][0], r = rowOf(s) + dirs[d][1];
        while (onBoard(f, r)) {
            if (stopBeforeEdge && !onBoard(f + dirs[d][0], r + dirs[d][1])) break;
            Bitboard b = bit(makeSquare(f, r));
            result |= b;
            if (occupied & b) break;
            f += dirs[d][0];
            r += dirs[d][1];
        }
    }
    return result;
}

const int KING_STEPS[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
const int KNIGHT_STEPS[8][2] = {{-1, -2}, {1, -2}, {-2, -1}, {2, -1}, {-2, 1}, {2, 1}, {-1, 2}, {1, 2}};
const int ROOK_DIRS[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
const int BISHOP_DIRS[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
const int FILE_DIRS[2][2] = {{0, 1}, {0, -1}};
const int RANK_DIRS[2][2] = {{1, 0}, {-1, 0}};
const int A1H8_DIRS[2][2] = {{1, -1}, {-1, 1}};  // square numbers step by 7
const int A8H1_DIRS[2][2] = {{1, 1}, {-1, -1}};  // square numbers step by 9

void initMagics(SliderMagic* magics, const data::Magic* fixed, Bitboard* array, const int (*dirs)[2]) {
    Bitboard* next = array;
    for (Square s = 0; s < 64; ++s) {
        SliderMagic& m = magics[s];
        m.mask = rayAttacks(s, 0, dirs, 4, true);
        m.multiplier = fixed[s].multiplier;
        m.shift = 64 - fixed[s].bits;
        m.attacks = next;
        Bitboard subset = 0;
        do {
            next[sliderIndex(m, subset)] = rayAttacks(s, subset, dirs, 4, false);
            subset = (subset - m.mask) & m.mask;
        } while (subset);
        next += std::size_t(1) << fixed[s].bits;
    }
}

// Fills one line-attack table by enumerating the occupancies of the line's squares; the
// index formula of the lookup decides where each pattern lands.
template <typename Index>
void initLine(Bitboard (&line)[64], Bitboard (&attacks)[64][64], const int (*dirs)[2], Index index) {
    for (Square s = 0; s < 64; ++s) {
        line[s] = rayAttacks(s, 0, dirs, 2, false);
        Bitboard subset = 0;
        do {
            attacks[s][index(s, subset)] = rayAttacks(s, subset, dirs, 2, false);
            subset = (subset - line[s]) & line[s];
        } while (subset);
    }
}

void initLines() {
    auto diagonalIndex = [](Square, Bitboard occ) { return (occ * 0x0202020202020202ULL) >> 58; };
    auto fileIndex = [](Square s, Bitboard occ) { return ((occ >> fileOf(s)) * 0x0080402010080402ULL) >> 58; };
    initLine(tables.fileLine, tables.fileAttacks, FILE_DIRS, fileIndex);
    initLine(tables.rankLine, tables.rankAttacks, RANK_DIRS, diagonalIndex);
    initLine(tables.diagA1H8Line, tables.diagA1H8Attacks, A1H8_DIRS, diagonalIndex);
    initLine(tables.diagA8H1Line, tables.diagA8H1Attacks, A8H1_DIRS, diagonalIndex);
}

void initBetweenAndLines() {
    for (Square a = 0; a < 64; ++a)
        for (Square b = 0; b < 64; ++b) {
            tables.between[a][b] = tables.lineThrough[a][b] = 0;
            if (a == b) continue;
            if (rookAttacks(a, 0) & bit(b)) {
                tables.between[a][b] = rookAttacks(a, bit(b)) & rookAttacks(b, bit(a));
                tables.lineThrough[a][b] = (rookAttacks(a, 0) & rookAttacks(b, 0)) | bit(a) | bit(b);
            } else if (bishopAttacks(a, 0) & bit(b)) {
                tables.between[a][b] = bishopAttacks(a, bit(b)) & bishopAttacks(b, bit(a));
                tables.lineThrough[a][b] = (bishopAttacks(a, 0) & bishopAttacks(b, 0)) | bit(a) | bit(b);
            }
        }
}

void buildTables() {
    for (Square s = 0; s < 64; ++s) {
        tables.kingAttacks[s] = stepTargets(s, KING_STEPS, 8);
        tables.knightAttacks[s] = stepTargets(s, KNIGHT_STEPS, 8);
        tables.pawnAttacks[WHITE][s] = pawnAttacks(bit(s), WHITE);
        tables.pawnAttacks[BLACK][s] = pawnAttacks(bit(s), BLACK);
    }
    for (Square s = 0; s < 64; ++s) {
        Bitboard two = 0;
        for (Bitboard b = tables.knightAttacks[s]; b;) two |= tables.knightAttacks[popLowestBit(b)];
        tables.knightTwoMoves[s] = two;
    }
    initMagics(tables.bishopMagic, data::BISHOP_MAGICS, bishopAttackArray, BISHOP_DIRS);
    initMagics(tables.rookMagic, data::ROOK_MAGICS, rookAttackArray, ROOK_DIRS);
    initLines();
    initBetweenAndLines();
    namedSets.longDiagonals = parseSquareList("A1B2C3D4E5F6G7H8A8B7C6D5E4F3G2H1");
    namedSets.secondRing = parseSquareList("C2D2E2F2C7D7E7F7B3B4B5B6G3G4G5G6");
    namedSets.cornerSquares = parseSquareList("A1A8H1H8B2B7G2G7");
    namedSets.lightCornerZone = parseSquareList("A7A8B8G1H1H2");
    namedSets.darkCornerZone = parseSquareList("B1A1A2G8H8H7");
    namedSets.kpkPawnSquares = parseSquareList("A2A3A4A5A6A7B2B3B4B5B6B7C2C3C4C5C6C7D2D3D4D5D6D7");
    buildKpkTable();
}

}  // namespace

Bitboard parseSquareList(const char* text) {
    Bitboard result = 0;
    for (; text[0] && text[1]; text += 2) {
        int file = (text[0] & ~0x20) - 'A';
        int row = '8' - text[1];
        if (file >= 0 && file < 8 && row >= 0 && row < 8) result |= bit(makeSquare(file, row));
    }
    return result;
}

void initBoardTables() {
    static const bool built = (buildTables(), true);  // a local static is initialised once, thread-safely
    (void)built;
}

}  // namespace zelmora
