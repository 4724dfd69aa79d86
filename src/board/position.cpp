#include "board/position.h"

#include <cstring>

namespace zelmora {

namespace {

const char* const START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

void setGeometry(SideRecord& s, Colour c) {
    int base = c == WHITE ? 56 : 0;
    s.colour = std::uint8_t(c);
    s.backRank = c == WHITE ? RANK_1 : RANK_8;
    s.pawnStep = std::int8_t(c == WHITE ? -8 : 8);
    s.kingTargetQueenSide = std::int8_t(base + 2);
    s.rookTargetQueenSide = std::int8_t(base + 3);
    s.rookTargetKingSide = std::int8_t(base + 5);
    s.kingTargetKingSide = std::int8_t(base + 6);
    s.castleMask = std::uint8_t(c == WHITE ? WHITE_KING_SIDE | WHITE_QUEEN_SIDE : BLACK_KING_SIDE | BLACK_QUEEN_SIDE);
}

}  // namespace

void Position::reset() {
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    setGeometry(side[WHITE], WHITE);
    setGeometry(side[BLACK], BLACK);
    setFen(START_FEN);
}

int Position::pieceOn(Colour c, Square s) const {
    const SideRecord& r = side[c];
    if (!(r.pieces[ALL_PIECES] & bit(s))) return 0;
    for (int t = PAWN; t <= KING; ++t)
        if (r.pieces[t] & bit(s)) return t;
    return 0;
}

bool Position::validateAndComplete() {
    for (SideRecord& s : side) {
        int total = 0;
        for (int t = PAWN; t <= KING; ++t) {
            s.count[t] = std::int8_t(popCount(s.pieces[t]));
            total += s.count[t];
        }
        if (total > 16) return false;
        s.count[ALL_PIECES] = std::int8_t(total);
        int pawns = s.count[PAWN];
        if (s.count[KING] != 1 || pawns > 8 || pawns + s.count[QUEEN] > 9 || pawns + s.count[ROOK] > 10 ||
            pawns + s.count[BISHOP] > 10 || pawns + s.count[KNIGHT] > 10)
            return false;
    }
    rebuildSquareLists(WHITE);
    rebuildSquareLists(BLACK);
    if ((side[WHITE].pieces[PAWN] | side[BLACK].pieces[PAWN]) & (RANK_1 | RANK_8)) return false;
    for (SideRecord& s : side) {
        s.pieces[ALL_PIECES] = 0;
        for (int t = PAWN; t <= KING; ++t) s.pieces[ALL_PIECES] |= s.pieces[t];
        if (popCount(s.pieces[ALL_PIECES]) != s.count[ALL_PIECES]) return false;
    }
    if (side[WHITE].pieces[ALL_PIECES] & side[BLACK].pieces[ALL_PIECES]) return false;
    occupied = side[WHITE].pieces[ALL_PIECES] | side[BLACK].pieces[ALL_PIECES];

    const SideRecord& moved = them();
    if (lastMoveSquares) {
        if (exactlyOne(lastMoveSquares)) {
            if (lastMoveSquares != moved.pieces[KING]) return false;
        } else if (popCount(lastMoveSquares) == 2) {
            if (!exactlyOne(lastMoveSquares & moved.pieces[ALL_PIECES])) return false;
        } else {
            return false;
        }
    }

    if (!(side[WHITE].pieces[KING] & RANK_1)) castlingRights &= ~side[WHITE].castleMask;
    if (!(side[BLACK].pieces[KING] & RANK_8)) castlingRights &= ~side[BLACK].castleMask;
    dropCastlingRightsWithoutRook();

    for (SideRecord& s : side) {
        s.materialSum = 0;
        for (int t = PAWN; t <= QUEEN; ++t) s.materialSum += s.count[t] * PIECE_VALUE[t];
    }
    computeAttacks(WHITE);
    computeAttacks(BLACK);
    if (them().attackedByEnemy & them().pieces[KING]) return false;
    computePinnedAttacked();
    recomputeKeys();
    return true;
}

void Position::dropCastlingRightsWithoutRook() {
    for (const SideRecord& s : side) {
        if (s.rookSquareKingSide < 0 || !(s.pieces[ROOK] & bit(s.rookSquareKingSide)))
            castlingRights &= std::uint8_t(~(s.castleMask & (WHITE_KING_SIDE | BLACK_KING_SIDE)));
        if (s.rookSquareQueenSide < 0 || !(s.pieces[ROOK] & bit(s.rookSquareQueenSide)))
            castlingRights &= std::uint8_t(~(s.castleMask & (WHITE_QUEEN_SIDE | BLACK_QUEEN_SIDE)));
    }
}

void Position::rebuildSquareLists(Colour c) {
    SideRecord& s = side[c];
    for (int t = PAWN; t <= KING; ++t) {
        int n = 0;
        for (Bitboard b = s.pieces[t]; b && n < 10;) s.squareList[t][n++] = std::int8_t(popLowestBit(b));
    }
}

void Position::recomputeKeys() {
    key = pawnKey = 0;
    for (int c = WHITE; c <= BLACK; ++c) {
        SideRecord& s = side[c];
        s.materialKey = 0;
        for (int t = PAWN; t <= KING; ++t)
            for (Bitboard b = s.pieces[t]; b;) key ^= zobrist(c, t, popLowestBit(b));
        for (Bitboard b = s.pieces[PAWN]; b;) pawnKey ^= zobrist(c, PAWN, popLowestBit(b));
        for (int t = PAWN; t <= QUEEN; ++t) s.materialKey ^= materialKeyEntry(c, t, s.count[t]);
    }
    key ^= zobrist(WHITE, 0, castlingRights);
    if (whiteToMove) key ^= WHITE_TO_MOVE_KEY;
    if (epSquare >= 0) key ^= zobrist(WHITE, 0, epSquare);
}

void Position::computeAttacks(Colour target) {
    SideRecord& t = side[target];
    const SideRecord& a = side[target ^ 1];
    Bitboard pawns = a.pieces[PAWN];
    Bitboard left, right;
    if (target == BLACK) {  // White attacks
        left = northWest(pawns);
        right = northEast(pawns);
    } else {
        left = southWest(pawns);
        right = southEast(pawns);
    }
    Bitboard attacked = left | right;
    Bitboard twice = left & right;
    t.attackedByEnemyPawns = attacked;
    auto add = [&](Bitboard s) {
        twice |= attacked & s;
        attacked |= s;
    };
    for (int i = 0; i < a.count[KNIGHT]; ++i) add(knightAttacks(a.squareList[KNIGHT][i]));
    // Own sliders of the same direction are transparent: batteries count through each other.
    Bitboard diagonalOcc = occupied ^ (a.pieces[BISHOP] | a.pieces[QUEEN]);
    Bitboard straightOcc = occupied ^ (a.pieces[ROOK] | a.pieces[QUEEN]);
    for (int i = 0; i < a.count[BISHOP]; ++i) add(bishopAttacks(a.squareList[BISHOP][i], diagonalOcc));
    for (int i = 0; i < a.count[ROOK]; ++i) add(rookAttacks(a.squareList[ROOK][i], straightOcc));
    for (int i = 0; i < a.count[QUEEN]; ++i) {
        Square q = a.squareList[QUEEN][i];
        add(bishopAttacks(q, diagonalOcc) | rookAttacks(q, straightOcc));
    }
    add(kingAttacks(a.squareList[KING][0]));
    t.attackedByEnemy = attacked;
    t.attackedTwiceByEnemy = twice;
}

void Position::computePinnedAttacked() {
    constexpr Bitboard EDGES = FILE_A | FILE_H | RANK_1 | RANK_8;
    Bitboard result = 0;
    for (int c = WHITE; c <= BLACK; ++c) {
        const SideRecord& s = side[c];
        const SideRecord& e = side[c ^ 1];
        Square king = s.king();
        Bitboard exposed = s.pieces[ALL_PIECES] &
                           ((s.attackedByEnemy & ~s.attackedByEnemyPawns) | s.attackedTwiceByEnemy);
        // Only sliders on the king's lines (on an empty board) can pin anything.
        Bitboard straight = (e.pieces[ROOK] | e.pieces[QUEEN]) & rookAttacks(king, 0);
        Bitboard diagonal = (e.pieces[BISHOP] | e.pieces[QUEEN]) & bishopAttacks(king, 0);
        if (straight) {
            for (Bitboard b = rookAttacks(king, occupied) & exposed; b;) {
                Square p = popLowestBit(b);
                Bitboard line = fileOf(p) == fileOf(king) ? fileAttacksFrom(p, occupied) : rankAttacksFrom(p, occupied);
                if (line & straight) result |= bit(p);
            }
        }
        if (diagonal) {
            for (Bitboard b = bishopAttacks(king, occupied) & exposed & ~EDGES; b;) {
                Square p = popLowestBit(b);
                Bitboard line = tables.diagA1H8Line[king] & bit(p) ? diagA1H8AttacksFrom(p, occupied)
                                                                   : diagA8H1AttacksFrom(p, occupied);
                if (line & diagonal) result |= bit(p);
            }
        }
    }
    pinnedAttacked = result;
}

bool Position::kingInCheck(Colour c) const {
    const SideRecord& e = side[c ^ 1];
    Square k = side[c].king();
    return (rookAttacks(k, occupied) & (e.pieces[ROOK] | e.pieces[QUEEN])) ||
           (bishopAttacks(k, occupied) & (e.pieces[BISHOP] | e.pieces[QUEEN])) ||
           (knightAttacks(k) & e.pieces[KNIGHT]) || (pawnAttacksFrom(c, k) & e.pieces[PAWN]);
}

}  // namespace zelmora
