#include "board/position.h"

#include <cassert>

namespace zelmora {

namespace {

// Writes the undo log with its counts in registers: list entries are bytes, and a byte store
// may alias any memory, so counts kept in the record would be reloaded after every one.
struct UndoLog {
    UndoRecord& u;
    int sets = 0, values = 0;

    void set(Bitboard& s) {
        assert(sets < UndoRecord::MAX_SETS);
        u.setAddress[sets] = &s;
        u.setOld[sets++] = s;
    }
    void value(std::int8_t& v) {
        assert(values < UndoRecord::MAX_VALUES);
        u.valueAddress[values] = &v;
        u.valueOld[values++] = v;
    }
    void finish() {
        u.setCount = sets;
        u.valueCount = values;
    }
};

inline std::int8_t* findSlot(SideRecord& s, int type, Square square) {
    std::int8_t* slot = s.squareList[type];
    while (*slot != square) ++slot;
    return slot;
}

// Takes the piece off its list: the last entry fills the freed slot.
inline void removeFromList(UndoLog& log, SideRecord& s, int type, Square square) {
    std::int8_t* slot = findSlot(s, type, square);
    std::int8_t* last = &s.squareList[type][s.count[type] - 1];
    log.value(*slot);
    log.value(*last);
    *slot = *last;
}

}  // namespace

void Position::prepare(UndoRecord& u) const {
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
    UndoLog log{u};
    const int us = whiteToMove_ ? WHITE : BLACK, them = us ^ 1;
    SideRecord& S = side_[us];
    SideRecord& E = side_[them];
    const Square from = moveFrom(m), to = moveTo(m);
    const int piece = movePiece(m), promotion = movePromotion(m);

    const Bitboard mask = twoSquares(from, to);
    log.set(S.pieces[piece]);
    log.set(S.pieces[ALL_PIECES]);
    lastMoveSquares_ = mask;
    S.pieces[piece] ^= mask;
    S.pieces[ALL_PIECES] ^= mask;
    key_ ^= zobrist(us, piece, from) ^ zobrist(us, piece, to) ^ WHITE_TO_MOVE_KEY;
    whiteToMove_ ^= 1;
    std::int8_t* moverSlot = findSlot(S, piece, from);
    log.value(*moverSlot);
    *moverSlot = std::int8_t(to);

    int captured = 0;
    if (mask & E.pieces[ALL_PIECES]) {
        const Bitboard target = bit(to);
        int c = PAWN;
        while (!(E.pieces[c] & target)) ++c;
        captured = c;
        log.set(E.pieces[c]);
        log.set(E.pieces[ALL_PIECES]);
        log.value(E.count[c]);
        log.value(E.count[ALL_PIECES]);
        E.pieces[c] ^= target;
        E.pieces[ALL_PIECES] ^= target;
        removeFromList(log, E, c, to);
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
        if (!promotion && !captured) {
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
                log.value(E.count[ALL_PIECES]);
                log.value(E.count[PAWN]);
                log.set(E.pieces[ALL_PIECES]);
                log.set(E.pieces[PAWN]);
                captured = PAWN;
                E.pieces[ALL_PIECES] &= ~bit(victim);
                E.pieces[PAWN] &= ~bit(victim);
                removeFromList(log, E, PAWN, victim);
                --E.count[PAWN];
                --E.count[ALL_PIECES];
                E.materialKey ^= materialKeyStep(them, PAWN, E.count[PAWN]);
                E.materialSum -= PIECE_VALUE[PAWN];
            }
        }
        if (promotion) {
            log.set(S.pieces[promotion]);
            log.value(S.count[PAWN]);
            log.value(S.count[promotion]);
            const Bitboard promoted = S.pieces[PAWN] & (RANK_8 | RANK_1);
            S.pieces[promotion] |= promoted;
            S.pieces[PAWN] ^= promoted;
            removeFromList(log, S, PAWN, to);
            --S.count[PAWN];
            S.materialKey ^= materialKeyStep(us, PAWN, S.count[PAWN]);
            std::int8_t& newSlot = S.squareList[promotion][S.count[promotion]];
            log.value(newSlot);
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
            log.set(S.pieces[ROOK]);
            S.pieces[ROOK] = (S.pieces[ROOK] & ~bit(to)) | bit(rookTarget);
            S.pieces[ALL_PIECES] |= bit(rookTarget) | bit(kingTarget);
            S.pieces[KING] = bit(kingTarget);
            lastMoveSquares_ = bit(kingTarget);
            *moverSlot = std::int8_t(kingTarget);
            std::int8_t* rookSlot = findSlot(S, ROOK, to);
            log.value(*rookSlot);
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
    u.captured = std::uint8_t(captured);
    log.finish();
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
