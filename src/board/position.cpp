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
    setGeometry(side_[WHITE], WHITE);
    setGeometry(side_[BLACK], BLACK);
    setFen(START_FEN);
}

bool Position::validateAndComplete() {
    for (SideRecord& s : side_) {
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
    if ((side_[WHITE].pieces[PAWN] | side_[BLACK].pieces[PAWN]) & (RANK_1 | RANK_8)) return false;
    for (SideRecord& s : side_) {
        s.pieces[ALL_PIECES] = 0;
        for (int t = PAWN; t <= KING; ++t) s.pieces[ALL_PIECES] |= s.pieces[t];
        if (popCount(s.pieces[ALL_PIECES]) != s.count[ALL_PIECES]) return false;
    }
    if (side_[WHITE].pieces[ALL_PIECES] & side_[BLACK].pieces[ALL_PIECES]) return false;
    occupied_ = side_[WHITE].pieces[ALL_PIECES] | side_[BLACK].pieces[ALL_PIECES];

    const SideRecord& moved = them();
    if (lastMoveSquares_) {
        if (exactlyOne(lastMoveSquares_)) {
            if (lastMoveSquares_ != moved.pieces[KING]) return false;
        } else if (popCount(lastMoveSquares_) == 2) {
            if (!exactlyOne(lastMoveSquares_ & moved.pieces[ALL_PIECES])) return false;
        } else {
            return false;
        }
    }

    if (!(side_[WHITE].pieces[KING] & RANK_1)) castlingRights_ &= ~side_[WHITE].castleMask;
    if (!(side_[BLACK].pieces[KING] & RANK_8)) castlingRights_ &= ~side_[BLACK].castleMask;
    dropCastlingRightsWithoutRook();

    for (SideRecord& s : side_) {
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
    for (const SideRecord& s : side_) {
        if (s.rookSquareKingSide < 0 || !(s.pieces[ROOK] & bit(s.rookSquareKingSide)))
            castlingRights_ &= std::uint8_t(~(s.castleMask & (WHITE_KING_SIDE | BLACK_KING_SIDE)));
        if (s.rookSquareQueenSide < 0 || !(s.pieces[ROOK] & bit(s.rookSquareQueenSide)))
            castlingRights_ &= std::uint8_t(~(s.castleMask & (WHITE_QUEEN_SIDE | BLACK_QUEEN_SIDE)));
    }
}

void Position::rebuildSquareLists(Colour c) {
    SideRecord& s = side_[c];
    for (int t = PAWN; t <= KING; ++t) {
        int n = 0;
        for (Bitboard b = s.pieces[t]; b && n < 10;) s.squareList[t][n++] = std::int8_t(popLowestBit(b));
    }
}

void Position::recomputeKeys() {
    key_ = pawnKey_ = 0;
    for (int c = WHITE; c <= BLACK; ++c) {
        SideRecord& s = side_[c];
        s.materialKey = 0;
        for (int t = PAWN; t <= KING; ++t)
            for (Bitboard b = s.pieces[t]; b;) key_ ^= zobrist(c, t, popLowestBit(b));
        for (Bitboard b = s.pieces[PAWN]; b;) pawnKey_ ^= zobrist(c, PAWN, popLowestBit(b));
        for (int t = PAWN; t <= QUEEN; ++t) s.materialKey ^= materialKeyEntry(c, t, s.count[t]);
    }
    key_ ^= zobrist(WHITE, 0, castlingRights_);
    if (whiteToMove_) key_ ^= WHITE_TO_MOVE_KEY;
    if (epSquare_ >= 0) key_ ^= zobrist(WHITE, 0, epSquare_);
}

void Position::computeAttacks(Colour target) {
    SideRecord& t = side_[target];
    const SideRecord& a = side_[target ^ 1];
    const Bitboard pawns = a.pieces[PAWN];
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
    add(kingAttacks(a.squareList[KING][0]));
    // Own sliders of the same direction are transparent: batteries count through each other.
    const Bitboard diagonalOcc = occupied_ ^ (a.pieces[BISHOP] | a.pieces[QUEEN]);
    const Bitboard straightOcc = occupied_ ^ (a.pieces[ROOK] | a.pieces[QUEEN]);
    Bitboard sliders = 0;
    auto addSlider = [&](Bitboard s) {
        sliders |= s;
        add(s);
    };
    for (int i = 0; i < a.count[BISHOP]; ++i) addSlider(bishopAttacks(a.squareList[BISHOP][i], diagonalOcc));
    for (int i = 0; i < a.count[ROOK]; ++i) addSlider(rookAttacks(a.squareList[ROOK][i], straightOcc));
    for (int i = 0; i < a.count[QUEEN]; ++i) {
        const Square q = a.squareList[QUEEN][i];
        addSlider(bishopAttacks(q, diagonalOcc) | rookAttacks(q, straightOcc));
    }
    t.attackedByEnemy = attacked;
    t.attackedTwiceByEnemy = twice;
    t.attackedByEnemySliders = sliders;
}

void Position::computePinnedAttacked() {
    Bitboard result = 0;
    for (int c = WHITE; c <= BLACK; ++c) {
        const SideRecord& s = side_[c];
        const Square king = s.king();
        const Bitboard straight = linesThrough(king), diagonal = diagonalsThrough(king);
        // Only pieces and sliders on the king's lines (on an empty board) can be or make a pin.
        const Bitboard exposed = s.pieces[ALL_PIECES] & (straight | diagonal) &
                                 ((s.attackedByEnemy & ~s.attackedByEnemyPawns) | s.attackedTwiceByEnemy);
        if (!exposed) continue;
        const SideRecord& e = side_[c ^ 1];
        const Bitboard snipers = ((e.pieces[ROOK] | e.pieces[QUEEN]) & straight) |
                                 ((e.pieces[BISHOP] | e.pieces[QUEEN]) & diagonal);
        if (snipers) result |= loneBlockers(king, snipers, occupied_) & exposed;
    }
    pinnedAttacked_ = result;
}

bool Position::isConsistent(bool attacksFresh) const {
    Position fresh = *this;
    if (!fresh.validateAndComplete()) return false;
    for (int c = WHITE; c <= BLACK; ++c) {
        const SideRecord& s = side_[c];
        const SideRecord& f = fresh.side_[c];
        for (int t = ALL_PIECES; t <= KING; ++t) {
            if (s.pieces[t] != f.pieces[t] || s.count[t] != f.count[t]) return false;
            // The lists may be in any order after moves, but must hold exactly the set's squares.
            Bitboard listed = 0;
            for (int i = 0; t != ALL_PIECES && i < s.count[t]; ++i) listed |= bit(s.squareList[t][i]);
            if (t != ALL_PIECES && listed != s.pieces[t]) return false;
        }
        if (s.materialSum != f.materialSum || s.materialKey != f.materialKey) return false;
        if (attacksFresh && (s.attackedByEnemy != f.attackedByEnemy || s.attackedTwiceByEnemy != f.attackedTwiceByEnemy ||
                             s.attackedByEnemyPawns != f.attackedByEnemyPawns ||
                             s.attackedByEnemySliders != f.attackedByEnemySliders))
            return false;
    }
    if (occupied_ != fresh.occupied_ || key_ != fresh.key_ || pawnKey_ != fresh.pawnKey_) return false;
    if (castlingRights_ != fresh.castlingRights_) return false;
    return !attacksFresh || pinnedAttacked_ == fresh.pinnedAttacked_;
}

Position::MaterialWithout::MaterialWithout(Position& pos, Colour colour, int type, Square square)
    : side_(pos.side_[colour]), type_(type), set_(side_.pieces[type]), materialSum_(side_.materialSum),
      materialKey_(side_.materialKey) {
    --side_.count[ALL_PIECES];
    --side_.count[type];
    side_.materialSum -= PIECE_VALUE[type];
    side_.materialKey ^= materialKeyStep(colour, type, side_.count[type]);
    if (type == BISHOP) side_.pieces[BISHOP] &= ~bit(square);
}

Position::MaterialWithout::~MaterialWithout() {
    ++side_.count[ALL_PIECES];
    ++side_.count[type_];
    side_.materialSum = materialSum_;
    side_.materialKey = materialKey_;
    side_.pieces[type_] = set_;
}

bool Position::kingInCheck(Colour c) const {
    const SideRecord& e = side_[c ^ 1];
    Square k = side_[c].king();
    return (rookAttacks(k, occupied_) & (e.pieces[ROOK] | e.pieces[QUEEN])) ||
           (bishopAttacks(k, occupied_) & (e.pieces[BISHOP] | e.pieces[QUEEN])) ||
           (knightAttacks(k) & e.pieces[KNIGHT]) || (pawnAttacksFrom(c, k) & e.pieces[PAWN]);
}

}  // namespace zelmora
