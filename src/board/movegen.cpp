#include "board/movegen.h"

namespace zelmora {

namespace {

constexpr int PROMOTIONS[4] = {QUEEN, ROOK, BISHOP, KNIGHT};

class Generator {
public:
    Generator(const Position& pos, MoveEntry* list)
        : pos_(pos), us_(pos.us()), them_(pos.them()), white_(pos.whiteToMove() != 0), list_(list), end_(list) {}

    int count() const { return int(end_ - list_); }

    void all() {
        const Bitboard targets = ~us_.pieces[ALL_PIECES];
        pieces(targets, targets, targets, targets);
        king(targets & ~us_.attackedByEnemy);
        castling();
        pawns(them_.pieces[ALL_PIECES] | epBit(), ~pos_.occupied());
    }

    void captures(bool withChecks) {
        const Bitboard enemies = them_.pieces[ALL_PIECES];
        const Bitboard attackedByEnemyPawns = us_.attackedByEnemyPawns;
        Bitboard rookTargets = enemies & ~(them_.pieces[PAWN] & attackedByEnemyPawns);
        Bitboard queenTargets = (enemies & ~attackedByEnemyPawns) | them_.pieces[QUEEN];
        Bitboard knightTargets = enemies, bishopTargets = enemies;
        if (withChecks) {
            const Square enemyKing = them_.king();
            const Bitboard safe = (~us_.attackedByEnemy | them_.attackedTwiceByEnemy) & ~us_.pieces[ALL_PIECES];
            const Bitboard diagonalChecks = safe & bishopAttacks(enemyKing, pos_.occupied());
            const Bitboard straightChecks = safe & rookAttacks(enemyKing, pos_.occupied());
            knightTargets |= safe & knightAttacks(enemyKing);
            bishopTargets |= diagonalChecks;
            rookTargets |= straightChecks;
            queenTargets |= diagonalChecks | straightChecks;
        }
        pieces(knightTargets, bishopTargets, rookTargets, queenTargets);
        king(enemies & ~us_.attackedByEnemy);
        if (withChecks) checkingPawnPushes();
        pawnCaptures(enemies | epBit());
        if (withChecks) discoveredChecks();
    }

    void evasions() {
        const Square k = us_.king();
        const Bitboard occ = pos_.occupied();
        const Bitboard straight = them_.pieces[ROOK] | them_.pieces[QUEEN];
        const Bitboard diagonal = them_.pieces[BISHOP] | them_.pieces[QUEEN];
        // The king may not stay on a checking line, not even on the square behind itself.
        Bitboard forbidden = us_.attackedByEnemy | us_.pieces[ALL_PIECES];
        const Bitboard lines[4] = {fileAttacksFrom(k, occ), rankAttacksFrom(k, occ), diagA1H8AttacksFrom(k, occ),
                                   diagA8H1AttacksFrom(k, occ)};
        for (int i = 0; i < 4; ++i) {
            const Bitboard sliders = lines[i] & (i < 2 ? straight : diagonal);
            if (sliders) forbidden |= lines[i] & ~sliders;
        }
        emit(k, kingAttacks(k) & ~forbidden, KING);

        const Bitboard checkers = (them_.pieces[PAWN] & pawnAttacksFrom(pos_.sideToMove(), k)) |
                                  (them_.pieces[KNIGHT] & knightAttacks(k)) | (rookAttacks(k, occ) & straight) |
                                  (bishopAttacks(k, occ) & diagonal);
        if (moreThanOne(checkers)) return;
        const Square checker = lowestBit(checkers);
        const Bitboard targets = checkers | betweenSquares(k, checker);
        const Bitboard knights = us_.pieces[KNIGHT] & ~pos_.pinnedAttacked();
        for (int i = 0; i < us_.count[KNIGHT]; ++i) {
            const Square s = us_.squareList[KNIGHT][i];
            if (knights & bit(s)) emit(s, knightAttacks(s) & targets, KNIGHT);
        }
        sliders(targets, targets, targets);
        Bitboard captureTargets = checkers;
        if (pos_.epSquare() >= 0 && checker == pos_.epSquare() - us_.pawnStep) captureTargets |= bit(pos_.epSquare());
        pawns(captureTargets, targets & ~occ);
    }

    void castling() {
        const int rights = pos_.castlingRights() & us_.castleMask;
        if (!rights) return;
        const Square k = us_.king();
        if ((rights & (WHITE_KING_SIDE | BLACK_KING_SIDE)) && !(us_.castleEmptyKingSide & pos_.occupied()) &&
            !(us_.castleSafeKingSide & us_.attackedByEnemy))
            add(k, us_.rookSquareKingSide, KING);
        if ((rights & (WHITE_QUEEN_SIDE | BLACK_QUEEN_SIDE)) && !(us_.castleEmptyQueenSide & pos_.occupied()) &&
            !(us_.castleSafeQueenSide & us_.attackedByEnemy))
            add(k, us_.rookSquareQueenSide, KING);
    }

    void pieceMoves(Square from) {
        const Bitboard targets = ~us_.pieces[ALL_PIECES];
        const Bitboard occ = pos_.occupied();
        const Bitboard b = bit(from);
        if (us_.pieces[KNIGHT] & b) emit(from, knightAttacks(from) & targets, KNIGHT);
        else if (us_.pieces[BISHOP] & b) emit(from, bishopAttacks(from, occ) & targets, BISHOP);
        else if (us_.pieces[ROOK] & b) emit(from, rookAttacks(from, occ) & targets, ROOK);
        else if (us_.pieces[QUEEN] & b) {
            emit(from, bishopAttacks(from, occ) & targets, QUEEN);
            emit(from, rookAttacks(from, occ) & targets, QUEEN);
        } else if (us_.pieces[KING] & b) emit(from, kingAttacks(from) & targets & ~us_.attackedByEnemy, KING);
        else if (us_.pieces[PAWN] & b) pawnsFrom(b, them_.pieces[ALL_PIECES] | epBit(), ~occ, true);
    }

private:
    const Position& pos_;
    const SideRecord& us_;
    const SideRecord& them_;
    const bool white_;
    MoveEntry* const list_;
    // A pointer rather than a count: the compiler knows the entries written cannot alias it.
    MoveEntry* end_;

    Bitboard epBit() const { return pos_.epSquare() >= 0 ? bit(pos_.epSquare()) : 0; }

    void add(Square from, Square to, int piece, int promotion = 0) {
        *end_++ = MoveEntry{makeMove(from, to, piece, promotion), 0};
    }

    void emit(Square from, Bitboard targets, int piece) {
        const Move base = makeMove(from, 0, piece);
        while (targets) *end_++ = MoveEntry{base | Move(popLowestBit(targets)) << 6, 0};
    }

    void pieces(Bitboard knightTargets, Bitboard bishopTargets, Bitboard rookTargets, Bitboard queenTargets) {
        for (int i = 0; i < us_.count[KNIGHT]; ++i) {
            const Square s = us_.squareList[KNIGHT][i];
            emit(s, knightAttacks(s) & knightTargets, KNIGHT);
        }
        sliders(bishopTargets, rookTargets, queenTargets);
    }

    void sliders(Bitboard bishopTargets, Bitboard rookTargets, Bitboard queenTargets) {
        const Bitboard occ = pos_.occupied();
        for (int i = 0; i < us_.count[BISHOP]; ++i) {
            const Square s = us_.squareList[BISHOP][i];
            emit(s, bishopAttacks(s, occ) & bishopTargets, BISHOP);
        }
        for (int i = 0; i < us_.count[ROOK]; ++i) {
            const Square s = us_.squareList[ROOK][i];
            emit(s, rookAttacks(s, occ) & rookTargets, ROOK);
        }
        for (int i = 0; i < us_.count[QUEEN]; ++i) {
            const Square s = us_.squareList[QUEEN][i];
            emit(s, bishopAttacks(s, occ) & queenTargets, QUEEN);
        }
        for (int i = 0; i < us_.count[QUEEN]; ++i) {
            const Square s = us_.squareList[QUEEN][i];
            emit(s, rookAttacks(s, occ) & queenTargets, QUEEN);
        }
    }

    void king(Bitboard targets) {
        const Square k = us_.king();
        emit(k, kingAttacks(k) & targets, KING);
    }

    // Pawn destinations with their origin offset; a destination on the last rank gives the four
    // promotions (queen, rook, bishop, knight), or the queen alone without underPromotions.
    void pawnTargets(Bitboard destinations, int offset, bool underPromotions) {
        const Bitboard lastRank = white_ ? RANK_8 : RANK_1;
        for (Bitboard b = destinations & lastRank; b;) {
            const Square to = popLowestBit(b);
            for (int i = 0; i < (underPromotions ? 4 : 1); ++i) add(to + offset, to, PAWN, PROMOTIONS[i]);
        }
        for (Bitboard b = destinations & ~lastRank; b;) {
            const Square to = popLowestBit(b);
            add(to + offset, to, PAWN);
        }
    }

    // Pawn moves of the given pawns: captures onto captureTargets (toward the a-file first), then
    // promotion steps, double steps and single steps onto pushTargets.
    void pawnsFrom(Bitboard pawns, Bitboard captureTargets, Bitboard pushTargets, bool underPromotions) {
        const Bitboard empty = ~pos_.occupied();
        const Bitboard lastRank = white_ ? RANK_8 : RANK_1;
        if (white_) {
            pawnTargets(northWest(pawns) & captureTargets, 9, underPromotions);
            pawnTargets(northEast(pawns) & captureTargets, 7, underPromotions);
        } else {
            pawnTargets(southWest(pawns) & captureTargets, -7, underPromotions);
            pawnTargets(southEast(pawns) & captureTargets, -9, underPromotions);
        }
        const int back = white_ ? 8 : -8;
        const Bitboard single = (white_ ? north(pawns) : south(pawns)) & empty;
        pawnTargets(single & pushTargets & lastRank, back, underPromotions);
        const Bitboard startRank = white_ ? rowMask(6) : rowMask(1);
        const Bitboard fromStart = single & (white_ ? north(startRank) : south(startRank));
        for (Bitboard b = (white_ ? north(fromStart) : south(fromStart)) & empty & pushTargets; b;) {
            const Square to = popLowestBit(b);
            add(to + 2 * back, to, PAWN);
        }
        pawnTargets(single & pushTargets & ~lastRank, back, false);
    }

    void pawns(Bitboard captureTargets, Bitboard pushTargets) {
        pawnsFrom(us_.pieces[PAWN], captureTargets, pushTargets, true);
    }

    // Captures with queen promotions, and steps onto the last rank promoting to a queen.
    void pawnCaptures(Bitboard captureTargets) {
        pawnsFrom(us_.pieces[PAWN], captureTargets, white_ ? RANK_8 : RANK_1, false);
    }

    void checkingPawnPushes() {
        const Bitboard checkSquares = pawnAttacksFrom(white_ ? BLACK : WHITE, them_.king());
        const Bitboard single = (white_ ? north(us_.pieces[PAWN]) : south(us_.pieces[PAWN])) & ~pos_.occupied();
        for (Bitboard b = single & checkSquares; b;) {
            const Square to = popLowestBit(b);
            add(to + (white_ ? 8 : -8), to, PAWN);
        }
    }

    // Every move of a defended piece that stands between the enemy king and one of our sliders.
    void discoveredChecks() {
        const Square enemyKing = them_.king();
        const Bitboard occ = pos_.occupied();
        const Bitboard own = us_.pieces[ALL_PIECES];
        const Bitboard straight = us_.pieces[ROOK] | us_.pieces[QUEEN];
        const Bitboard diagonal = us_.pieces[BISHOP] | us_.pieces[QUEEN];
        const Bitboard snipers = (rookAttacks(enemyKing, 0) & straight) | (bishopAttacks(enemyKing, 0) & diagonal);
        const Bitboard blockers = loneBlockers(enemyKing, snipers, occ) & own;
        const Bitboard defended =
            (them_.attackedByEnemy & ~them_.attackedByEnemyPawns) | them_.attackedTwiceByEnemy;
        for (Bitboard b = blockers & defended; b;) pieceMoves(popLowestBit(b));
    }
};

}  // namespace

int generateMoves(const Position& pos, MoveEntry* list, bool tactical, bool withChecks) {
    Generator gen(pos, list);
    if (pos.inCheck())
        gen.evasions();
    else if (!tactical)
        gen.all();
    else
        gen.captures(withChecks);
    return gen.count();
}

int generateCastlingMoves(const Position& pos, MoveEntry* list) {
    Generator gen(pos, list);
    gen.castling();
    return gen.count();
}

int generatePieceMoves(const Position& pos, Square from, MoveEntry* list) {
    Generator gen(pos, list);
    gen.pieceMoves(from);
    return gen.count();
}

bool noLegalMove(const Position& pos, int* outcome) {
    MoveEntry list[MAX_MOVES];
    const int n = generateMoves(pos, list);
    Position copy = pos;
    UndoRecord undo;
    for (int i = 0; i < n; ++i)
        if (copy.makeFast(list[i].move, undo)) return false;
    if (outcome) *outcome = !pos.inCheck() ? 0 : pos.whiteToMove() ? -1 : 1;
    return true;
}

namespace {

bool leavesKingSafe(const Position& pos, Move move) {
    Position copy = pos;
    UndoRecord undo;
    return copy.makeFast(move, undo);
}

}  // namespace

bool isGeneratedMove(const Position& pos, Move move) {
    MoveEntry list[MAX_MOVES];
    const int n = generateMoves(pos, list);
    for (int i = 0; i < n; ++i)
        if (list[i].move == move) return true;
    return false;
}

bool isLegalMove(const Position& pos, Move move) { return isGeneratedMove(pos, move) && leavesKingSafe(pos, move); }

// The first generated move with these squares (a promotion to a queen before the others).
Move findLegalShortMove(const Position& pos, std::uint16_t move) {
    MoveEntry list[MAX_MOVES];
    const int n = generateMoves(pos, list);
    for (int i = 0; i < n; ++i)
        if (shortMove(list[i].move) == move) return leavesKingSafe(pos, list[i].move) ? list[i].move : NO_MOVE;
    return NO_MOVE;
}

}  // namespace zelmora
