#include "board/position.h"

#include <cassert>

namespace zelmora {

namespace {

inline void logSet(UndoRecord& u, Bitboard& set) {
    assert(u.setCount < UndoRecord::MAX_SETS);
    u.setAddress[u.setCount] = &set;
    u.setOld[u.setCount++] = set;
}

inline void logValue(UndoRecord& u, std::int8_t& value) {
    assert(u.valueCount < UndoRecord::MAX_VALUES);
    u.valueAddress[u.valueCount] = &value;
    u.valueOld[u.valueCount++] = value;
}

inline std::int8_t* findSlot(SideRecord& s, int type, Square square) {
    std::int8_t* slot = s.squareList[type];
    while (*slot != square) ++slot;
    return slot;
}

// Takes the piece off its list: the last entry fills the freed slot.
inline void removeFromList(UndoRecord& u, SideRecord& s, int type, Square square) {
    std::int8_t* slot = findSlot(s, type, square);
    std::int8_t* last = &s.squareList[type][s.count[type] - 1];
    logValue(u, *slot);
    logValue(u, *last);
    *slot = *last;
}

}  // namespace

void Position::prepare(UndoRecord& u) const {
    u.setCount = u.valueCount = 0;
    for (int c = WHITE; c <= BLACK; ++c) {
        u.side[c].attackedByEnemy = side_[c].attackedByEnemy;
        u.side[c].attackedTwiceByEnemy = side_[c].attackedTwiceByEnemy;
        u.side[c].attackedByEnemyPawns = side_[c].attackedByEnemyPawns;
        u.side[c].attackedByEnemySliders = side_[c].attackedByEnemySliders;
        u.side[c].materialSum = side_[c].materialSum;
        u.side[c].materialKey = side_[c].materialKey;
    }
    u.occupied = occupied_;
    u.lastMoveSquares = lastMoveSquares_;
    u.key = key_;
    u.pawnKey = pawnKey_;
    u.pinnedAttacked = pinnedAttacked_;
    u.epSquare = epSquare_;
    u.castlingRights = castlingRights_;
    u.whiteToMove = whiteToMove_;
}

void Position::makeMove(Move m, UndoRecord& u) {
    prepare(u);
    const int us = whiteToMove_ ? WHITE : BLACK, them = us ^ 1;
    SideRecord& S = side_[us];
    SideRecord& E = side_[them];
    const Square from = moveFrom(m), to = moveTo(m);
    const int piece = movePiece(m), promotion = movePromotion(m);

    const Bitboard mask = twoSquares(from, to);
    logSet(u, S.pieces[piece]);
    logSet(u, S.pieces[ALL_PIECES]);
    lastMoveSquares_ = mask;
    S.pieces[piece] ^= mask;
    S.pieces[ALL_PIECES] ^= mask;
    key_ ^= zobrist(us, piece, from) ^ zobrist(us, piece, to) ^ WHITE_TO_MOVE_KEY;
    whiteToMove_ ^= 1;
    std::int8_t* moverSlot = findSlot(S, piece, from);
    logValue(u, *moverSlot);
    *moverSlot = std::int8_t(to);

    u.captured = 0;
    if (mask & E.pieces[ALL_PIECES]) {
        const Bitboard target = bit(to);
        int c = PAWN;
        while (!(E.pieces[c] & target)) ++c;
        u.captured = std::uint8_t(c);
        logSet(u, E.pieces[c]);
        logSet(u, E.pieces[ALL_PIECES]);
        logValue(u, E.count[c]);
        logValue(u, E.count[ALL_PIECES]);
        E.pieces[c] ^= target;
        E.pieces[ALL_PIECES] ^= target;
        removeFromList(u, E, c, to);
        --E.count[c];
        --E.count[ALL_PIECES];
        E.materialKey ^= materialKeyStep(them, c, E.count[c]);
        E.materialSum -= PIECE_VALUE[c];
        key_ ^= zobrist(them, c, to);
        if (c == PAWN) pawnKey_ ^= zobrist(them, PAWN, to);
    }

    if (epSquare_ >= 0) {
        key_ ^= zobrist(WHITE, 0, epSquare_);
        epSquare_ = -1;
    }

    if (piece == PAWN) {
        pawnKey_ ^= zobrist(us, PAWN, from) ^ zobrist(us, PAWN, to);
        if (!promotion && !u.captured) {
            const int step = to - from;
            if (step == 16 || step == -16) {
                // Only a double step that an enemy pawn could take en passant leaves a square.
                const Square skipped = (from + to) / 2;
                if (S.attackedByEnemyPawns & bit(skipped)) {
                    epSquare_ = skipped;
                    key_ ^= zobrist(WHITE, 0, skipped);
                }
            } else if (step & 1) {
                const Square victim = to - S.pawnStep;
                key_ ^= zobrist(them, PAWN, victim);
                pawnKey_ ^= zobrist(them, PAWN, victim);
                logValue(u, E.count[ALL_PIECES]);
                logValue(u, E.count[PAWN]);
                logSet(u, E.pieces[ALL_PIECES]);
                logSet(u, E.pieces[PAWN]);
                u.captured = PAWN;
                E.pieces[ALL_PIECES] &= ~bit(victim);
                E.pieces[PAWN] &= ~bit(victim);
                removeFromList(u, E, PAWN, victim);
                --E.count[PAWN];
                --E.count[ALL_PIECES];
                E.materialKey ^= materialKeyStep(them, PAWN, E.count[PAWN]);
                E.materialSum -= PIECE_VALUE[PAWN];
            }
        }
        if (promotion) {
            logSet(u, S.pieces[promotion]);
            logValue(u, S.count[PAWN]);
            logValue(u, S.count[promotion]);
            const Bitboard promoted = S.pieces[PAWN] & (RANK_8 | RANK_1);
            S.pieces[promotion] |= promoted;
            S.pieces[PAWN] ^= promoted;
            removeFromList(u, S, PAWN, to);
            --S.count[PAWN];
            S.materialKey ^= materialKeyStep(us, PAWN, S.count[PAWN]);
            std::int8_t& newSlot = S.squareList[promotion][S.count[promotion]];
            logValue(u, newSlot);
            newSlot = std::int8_t(to);
            S.materialKey ^= materialKeyStep(us, promotion, S.count[promotion]);
            ++S.count[promotion];
            S.materialSum += PIECE_VALUE[promotion] - PIECE_VALUE[PAWN];
            key_ ^= zobrist(us, PAWN, to) ^ zobrist(us, promotion, to);
            pawnKey_ ^= zobrist(us, PAWN, to);
        }
    } else if (piece == KING) {
        castlingRights_ &= ~S.castleMask;
        if (S.pieces[ROOK] & bit(to)) {
            // Castling: the king stands on its rook's square; put both on their targets.
            const bool kingSide = to == S.rookSquareKingSide;
            const Square kingTarget = kingSide ? S.kingTargetKingSide : S.kingTargetQueenSide;
            const Square rookTarget = kingSide ? S.rookTargetKingSide : S.rookTargetQueenSide;
            logSet(u, S.pieces[ROOK]);
            S.pieces[ROOK] = (S.pieces[ROOK] & ~bit(to)) | bit(rookTarget);
            S.pieces[ALL_PIECES] |= bit(rookTarget) | bit(kingTarget);
            S.pieces[KING] = bit(kingTarget);
            lastMoveSquares_ = bit(kingTarget);
            *moverSlot = std::int8_t(kingTarget);
            std::int8_t* rookSlot = findSlot(S, ROOK, to);
            logValue(u, *rookSlot);
            *rookSlot = std::int8_t(rookTarget);
            key_ ^= zobrist(us, ROOK, to) ^ zobrist(us, ROOK, rookTarget) ^ zobrist(us, KING, to) ^
                   zobrist(us, KING, kingTarget);
        }
    }

    occupied_ = side_[WHITE].pieces[ALL_PIECES] | side_[BLACK].pieces[ALL_PIECES];

    // Castling rooks stand on the back ranks: other moves cannot take a right away.
    if (u.castlingRights && (mask & (RANK_1 | RANK_8))) {
        dropCastlingRightsWithoutRook();
        key_ ^= zobrist(WHITE, 0, u.castlingRights) ^ zobrist(WHITE, 0, castlingRights_);
    }
}

void Position::unmake(const UndoRecord& u) {
    for (int c = WHITE; c <= BLACK; ++c) {
        side_[c].attackedByEnemy = u.side[c].attackedByEnemy;
        side_[c].attackedTwiceByEnemy = u.side[c].attackedTwiceByEnemy;
        side_[c].attackedByEnemyPawns = u.side[c].attackedByEnemyPawns;
        side_[c].attackedByEnemySliders = u.side[c].attackedByEnemySliders;
        side_[c].materialSum = u.side[c].materialSum;
        side_[c].materialKey = u.side[c].materialKey;
    }
    occupied_ = u.occupied;
    lastMoveSquares_ = u.lastMoveSquares;
    key_ = u.key;
    pawnKey_ = u.pawnKey;
    pinnedAttacked_ = u.pinnedAttacked;
    epSquare_ = u.epSquare;
    castlingRights_ = u.castlingRights;
    whiteToMove_ = u.whiteToMove;
    for (int i = u.setCount - 1; i >= 0; --i) *u.setAddress[i] = u.setOld[i];
    for (int i = u.valueCount - 1; i >= 0; --i) *u.valueAddress[i] = u.valueOld[i];
}

bool Position::finishLegalMake(const UndoRecord& u) {
    const Colour mover = whiteToMove_ ? BLACK : WHITE;
    // The side to move lost nothing; its attacks change only where the move changed the
    // occupancy on one of its sliders' rays.
    if (u.captured || ((u.occupied ^ occupied_) & side_[mover].attackedByEnemySliders)) computeAttacks(mover);
    if (side_[mover].attackedByEnemy & side_[mover].pieces[KING]) {
        unmake(u);
        return false;
    }
    computeAttacks(~mover);
    computePinnedAttacked();
    assert(isConsistent());
    return true;
}

void Position::makeNullMove(NullMoveUndo& u) {
    u.key = key_;
    u.epSquare = epSquare_;
    u.lastMoveSquares = lastMoveSquares_;
    key_ ^= WHITE_TO_MOVE_KEY;
    if (epSquare_ >= 0) {
        key_ ^= zobrist(WHITE, 0, epSquare_);
        epSquare_ = -1;
    }
    whiteToMove_ ^= 1;
    lastMoveSquares_ = 0;
}

void Position::unmakeNullMove(const NullMoveUndo& u) {
    whiteToMove_ ^= 1;
    key_ = u.key;
    epSquare_ = u.epSquare;
    lastMoveSquares_ = u.lastMoveSquares;
}

bool Position::makeFast(Move m, UndoRecord& u) {
    makeMove(m, u);
    if (kingInCheck(whiteToMove_ ? BLACK : WHITE)) {
        unmake(u);
        return false;
    }
    return true;
}

}  // namespace zelmora
