// The recursive search below the root: a principal-variation alpha-beta search over depths in
// eighths of a ply, with null moves, late-move reductions, extensions and pruning near the leaves.

#include <cstdlib>

#include "search/engine.h"
#include "search/search_limits.h"
#include "search/transposition_table.h"

namespace zelmora {

namespace {

// Knight and bishop weigh the same here, so that trading one for the other is a recapture.
constexpr int SEARCH_VALUE[PIECE_TYPE_COUNT] = {0, 1000, 3260, 3260, 4950, 9772, 9999};

// Extension when a capture leaves a pawn ending: [type the parent took][type taken now].
constexpr int PAWN_ENDING_EXTENSION[6][6] = {
    {0, 0, 0, 0, 0, 0}, {0, 0, 8, 8, 0, 0}, {0, 0, 8, 8, 8, 0},
    {0, 0, 8, 8, 8, 0}, {0, 0, 8, 8, 8, 8}, {0, 0, 0, 0, 8, 16},
};

}  // namespace

int Engine::pawnAndCheckExtension(const PlyEntry& entry, int depth, bool givesCheck, bool atRoot) const {
    const Position& pos = position;
    const Move m = entry.currentMove;
    const int piece = movePiece(m);
    const Square from = moveFrom(m), to = moveTo(m);
    const SideRecord& mover = pos.them();  // the move is made
    const SideRecord& enemy = pos.us();
    int ext = 0;

    if (piece == PAWN) {
        const int toRow = rowOf(to), fromRow = rowOf(from);
        // Ranks are told apart by row, whatever the colour: a pawn can only go forward.
        if (toRow == rowOfRank(7) || toRow == rowOfRank(2)) {
            ext += PAWN_TO_SEVENTH_EXTENSION;
        } else if ((toRow == rowOfRank(6) || toRow == rowOfRank(3)) && fromRow != rowOfRank(7) &&
                   fromRow != rowOfRank(2) &&
                   !(mover.attackedByEnemyPawns & bit(to)) && !(enemy.pieces[PAWN] & bit(to + mover.pawnStep))) {
            ext += FREE_PAWN_TO_SIXTH_EXTENSION;
        }
        if (movePromotion(m) != 0 && depth >= PROMOTION_CUT_MIN_DEPTH && !(mover.attackedByEnemy & bit(to)))
            ext -= depth >= PROMOTION_DEEP_CUT_DEPTH ? PROMOTION_DEEP_CUT : PROMOTION_CUT;
    }

    if (givesCheck && pliesSinceNull() > 1) {
        const Move parentMove = at(ply - 1).currentMove;
        const Move older = at(ply - 2).currentMove;
        if (parentMove != NO_MOVE && movePiece(parentMove) == KING) {
            ext += CHECK_AFTER_KING_MOVE_EXTENSION;
        } else if (!atRoot && older != NO_MOVE && from == moveTo(older) && pliesSinceNull() > 2) {
            // The same piece checks again: worth more when it did not merely continue its line.
            const Square left = moveFrom(older);
            const Bitboard target = bit(to);
            const bool newLine = piece == PAWN || piece == KNIGHT ||
                                 (piece == BISHOP && !(diagonalsThrough(left) & target)) ||
                                 (piece == ROOK && !(linesThrough(left) & target)) ||
                                 (piece == QUEEN && !((diagonalsThrough(left) | linesThrough(left)) & target));
            if (newLine) ext += CHECK_BY_SAME_PIECE_EXTENSION;
        }
    }
    return ext;
}

int Engine::newDepth(PlyEntry& entry, int depth) const {
    const Position& pos = position;
    const Move m = entry.currentMove;
    const int cap = entry.captured;
    const int piece = movePiece(m);
    const PlyEntry& parent = at(ply - 1);
    int ext = entry.extension;

    if (cap > PAWN) {
        const int whitePawns = pos.side(WHITE).count[PAWN], blackPawns = pos.side(BLACK).count[PAWN];
        if (pos.pieceCount() == whitePawns + blackPawns + 2 && parent.currentMove != NO_MOVE &&
            movePromotion(parent.currentMove) == 0 && whitePawns > 0 && blackPawns > 0 &&
            std::abs(whitePawns - blackPawns) <= PAWN_ENDING_MAX_PAWN_GAP) {
            const int e = PAWN_ENDING_EXTENSION[parent.captured][cap];
            if (e >= ext) {
                entry.extension = std::int16_t(e);
                return depth + e - ONE_PLY;
            }
        }
    }
    if (ext >= ONE_PLY) return depth - 1;
    const int d = depth + ext - ONE_PLY;
    if (ext != 0 || d < 1 || d % ONE_PLY == 0) return d;

    // A fractional depth is kept where the position is in motion, else rounded down.
    if (pliesSinceNull() <= 2 && !(pliesSinceNull() == 1 && pliesSincePreviousNull() > 2)) return d;
    if (cap != 0 && PIECE_VALUE[cap] >= PIECE_VALUE[piece]) return d;
    const Move older = at(ply - 2).currentMove;
    if (piece == PAWN && older != NO_MOVE && movePiece(older) == PAWN && moveTo(older) == moveFrom(m)) return d;

    const Colour moverColour = pos.whiteToMove() ? BLACK : WHITE;
    const UndoRecord::SideCopy& a = entry.undo.side[moverColour];
    const UndoRecord::SideCopy& b = entry.undo.side[~moverColour];
    const UndoRecord::SideCopy& g = at(ply - 2).undo.side[moverColour];
    const Bitboard a0 = a.attackedByEnemy, a1 = a.attackedTwiceByEnemy, a2 = a.attackedByEnemyPawns;
    const Bitboard g0 = g.attackedByEnemy, g1 = g.attackedTwiceByEnemy, g2 = g.attackedByEnemyPawns;
    const Bitboard b0 = b.attackedByEnemy, b1 = b.attackedTwiceByEnemy;
    const Bitboard toKeep = (g0 & ~a0 & ~a1 & ~g1) | (b0 & ~g0 & ~b1 & ~g1) | (g2 & ~a2) | (g1 & ~a1) | (b1 & ~g1);
    const Bitboard fromKeep = (a0 & ~g0 & ~a1 & ~g1) | (g0 & ~b0 & ~b1 & ~g1) | (g1 & ~b1) | (a2 & ~g2) | (a1 & ~g1);
    const Bitboard toSquare = pos.lastMoveSquares() & pos.occupied(), fromSquare = pos.lastMoveSquares() & ~pos.occupied();
    if ((toSquare & toKeep) || (fromSquare & fromKeep)) return d;
    return d - d % ONE_PLY;
}

int Engine::search(int alpha, int beta, int depth) {
    if (depth < 0) return quiesce(alpha, beta, QUIESCENCE_ENTRY_DEPTH);
    if (depth > CLOCK_POLL_MIN_DEPTH && !pondering() && clock != nullptr && clock->mustStop(newBest))
        shared_.stop.store(true, std::memory_order_relaxed);
    ++ply;
    const int score = searchNode(alpha, beta, depth);
    --ply;
    return score;
}

int Engine::searchNode(int alpha, int beta, int depth) {
    Position& pos = position;
    const int eval = evaluator.evaluate(pos);
    const EndgameRecognizer* recognizer = evaluator.recognizer();
    // Passed pawns of the side to move are never reduced; a stale pawn entry (the evaluation
    // stopped before the pawn terms) leaves every pawn move unreduced instead.
    const PawnEntry& pawnEntry = evaluator.pawnEntry();
    const Bitboard unreducedPawns =
        pawnEntry.key == pos.pawnKey() ? pawnEntry.passed & pos.us().pieces[PAWN] : pos.us().pieces[PAWN];

    ++nodes;
    PlyEntry& entry = at(ply);
    const PlyEntry& parent = at(ply - 1);
    entry.bestMove = NO_MOVE;
    entry.currentMove = NO_MOVE;
    if (ply >= MAX_PLY || stopped()) return eval;

    const bool inCheck = pos.inCheck();
    int mateScore;
    if (matesInOne(entry, inCheck, mateScore)) return mateScore;
    enterPath(entry, alpha, beta);
    if (isPathRepetition(pos.key(), ply)) return 0;
    if (depth >= GAME_DRAW_MIN_DEPTH && shared_.game.searchDraw(pos) != NO_DRAW) return 0;
    entry.staticEval = eval;

    // Reduction recall: a reduced move that lets the evaluation swing our way is searched in full.
    if (parent.reduced && parent.currentMove != NO_MOVE) {
        if (parent.staticEval + eval < -REDUCTION_RECALL_SWING) return alpha;
        if (ply >= 3 && pliesSinceNull() > 3 && parent.staticEval + eval < 0 &&
            at(ply - 3).staticEval + at(ply - 2).staticEval < 0 &&
            pos.side(WHITE).materialKey == at(ply - 2).undo.side[WHITE].materialKey &&
            pos.side(BLACK).materialKey == at(ply - 2).undo.side[BLACK].materialKey)
            return alpha;
    }

    bool nullAllowed =
        (pliesSinceNull() == 1 || eval > beta) && !inCheck && recognizer == evaluator.registry.defaultRecognizer();
    int extension = 0;
    bool ttMark = false;
    Move hashMove = NO_MOVE;

    Move ttMove;
    int ttScore, ttCount, ttDepthWord;
    if (table_.probe(pos.key(), ply, ttMove, ttScore, ttCount, ttDepthWord)) {
        if (beta == alpha + 1 && ply >= TABLE_CUTOFF_MIN_PLY && TranspositionTable::cutoffTest(ttScore, ttDepthWord, alpha, beta, depth)) {
            shortenNullWindowCounts(ttCount);
            return ttScore;
        }
        if (ttDepthWord & EXTENSION_MARK) {
            extension += MARKED_NODE_EXTENSION;
            ttMark = true;
            nullAllowed = false;
        }
        const int bound = ttDepthWord & BOUND_MASK;
        if (ttMove != NO_MOVE && (bound == BOUND_LOWER || bound == BOUND_EXACT)) {
            nullAllowed = nullAllowed && (pliesSinceNull() == 1 || ttScore >= beta);
            const int stored = storedDepth(ttDepthWord);
            if (stored + HASH_MOVE_DEPTH_SLACK + (stored >= 0 ? ONE_PLY : 0) >= depth) hashMove = ttMove;
        }
    }

    int recognized;
    if (recognizer->bound(pos, recognized, alpha, beta, depth, extension)) return recognized;

    const SideRecord& us = pos.us();
    const Bitboard sliders = us.pieces[BISHOP] | us.pieces[ROOK] | us.pieces[QUEEN];
    const Bitboard freeSliders = sliders & ~pos.pinnedAttacked();

    int nullScore;
    if (nullAllowed && nullMoveSettles(alpha, beta, depth, freeSliders, extension, ttMark, nullScore)) return nullScore;

    if (nullAllowed && depth + extension < ONE_PLY && eval >= beta + STATIC_NULL_MARGIN && beta > -MATE_THRESHOLD &&
        extension <= 0 && moreThanOne(sliders) && nullMoveMobility() >= NULL_MOVE_MIN_MOBILITY &&
        !threatTest(eval - beta))
        return eval - STATIC_NULL_MARGIN;

    BusyMoveSet* busy = depth >= BUSY_SET_MIN_DEPTH && depth <= BUSY_SET_MAX_DEPTH ? &table_.busy : nullptr;
    MoveGenerator& generator = generators_[ply];
    const int killerGroup = inCheck ? 1 : 0;
    const int n = generator.init(moveBuffer_[ply], pos, history_[pos.sideToMove()], false, false,
                                 entry.killers.group[killerGroup], busy, hashMove);
    if (n == 0) return inCheck ? -(MATE - ply) : 0;
    prefetchSuccessors(moveBuffer_[ply], std::min(n, PREFETCHED_SUCCESSORS));
    if (n == 1) extension += ONLY_MOVE_EXTENSION;
    if (inCheck) extension += CHECK_EVASION_EXTENSION;
    const bool lookahead = depth + extension >= LOOKAHEAD_MIN_DEPTH && n >= 2 &&
                           transpositionLookahead(beta, depth, generator, busy, extension + depth - ONE_PLY);

    int best = -MATE;
    Move bestMove = NO_MOVE;
    const int alpha0 = alpha;
    int pruned = 0;
    const bool reductionsAllowed = depth >= REDUCTION_MIN_DEPTH + (pliesSinceNull() == 1 ? ONE_PLY : 0) && !inCheck &&
                                   alpha > -MATE_THRESHOLD && beta - alpha <= 1;
    const bool pawnEnding = pos.side(WHITE).count[ALL_PIECES] - pos.side(WHITE).count[PAWN] +
                                pos.side(BLACK).count[ALL_PIECES] - pos.side(BLACK).count[PAWN] <= 2;
    entry.movesSearched = 0;

    while (MoveEntry* record = generator.next()) {
        const Move m = record->move;
        const bool late = generator.late();
        entry.currentMove = m;
        if (!pos.makeLegal(m, entry.undo, [this](std::uint64_t key) { table_.prefetch(key); })) {
            if (busy) busy->clear(BusyMoveSet::indexOf(m, pos.key()));
            continue;
        }
        entry.captured = entry.undo.captured;
        const bool givesCheck = pos.inCheck();
        int ext = extension + pawnAndCheckExtension(entry, depth, givesCheck, false);
        if (entry.captured != 0 && pliesSinceNull() > 1 && parent.currentMove != NO_MOVE &&
            moveTo(m) == moveTo(parent.currentMove) && SEARCH_VALUE[entry.captured] == SEARCH_VALUE[parent.captured]) {
            const int balance = SEARCH_VALUE[entry.captured] + eval;
            if (balance > -RECAPTURE_BALANCE_LIMIT && balance < RECAPTURE_BALANCE_LIMIT) ext += RECAPTURE_EXTENSION;
        }
        entry.extension = std::int16_t(ext);
        const int d = newDepth(entry, depth);
        const std::uint64_t nodesBefore = nodes;
        int s;
        if (d >= 0) {
            if (alpha > alpha0 && alpha + 1 < beta) {
                s = -search(-alpha - 1, -alpha, d);
                if (s > alpha && s < beta) s = -search(-beta, -alpha, d);
            } else {
                int dr = d;
                const int count = entry.nullWindowCount;
                if (reductionsAllowed && late && entry.movesSearched >= REDUCTION_MIN_MOVES + (count <= 3) + (count <= 1) &&
                    entry.captured == 0 && !givesCheck && entry.extension == 0 &&
                    parent.extension < REDUCTION_PARENT_EXTENSION_LIMIT &&
                    !(twoSquares(moveFrom(m), moveTo(m)) & unreducedPawns)) {
                    entry.reduced = true;
                    entry.extension = -ONE_PLY;
                    dr = newDepth(entry, depth);
                }
                s = -search(-beta, -alpha, dr);
                entry.reduced = false;
                entry.extension = 0;
                if (s > alpha && dr < d) s = -search(-beta, -alpha, d);
            }
        } else {
            // Futility: a quiet move cannot lift a hopeless evaluation above alpha at the horizon.
            if (eval + FUTILITY_MARGIN < alpha0 && entry.captured == 0 && entry.extension <= 0 && entry.movesSearched > 0 &&
                movePromotion(m) == 0 && !inCheck && !givesCheck && alpha0 + 1 == beta && !pawnEnding) {
                ++pruned;
                pos.unmake(entry.undo);
                if (busy) busy->clear(BusyMoveSet::indexOf(m, pos.key()));
                continue;
            }
            s = -quiesce(-beta, -alpha, QUIESCENCE_ENTRY_DEPTH);
        }
        pos.unmake(entry.undo);
        ++entry.movesSearched;
        if (busy) busy->clear(BusyMoveSet::indexOf(m, pos.key()));

        if (stopped()) {
            if (ply >= STOPPED_NODE_REMOVAL_MIN_PLY) table_.remove(pos.key());
            return best;
        }
        if (s > best) {
            best = s;
            bestMove = m;
            entry.bestMove = m;
            if (s > alpha) {
                alpha = s;
                if (s >= beta) {
                    // Cutoff. Moves that merely answer the last move make poor killers: moves to
                    // its squares, or to squares its piece guarded before it left and that the
                    // opponent no longer covers.
                    Bitboard threat = pos.lastMoveSquares();
                    if (pliesSinceNull() > 1 && parent.currentMove != NO_MOVE) {
                        const Move p = parent.currentMove;
                        const Bitboard guarded = attacksOf(movePiece(p), ~pos.sideToMove(), moveFrom(p), parent.undo.occupied);
                        threat |= guarded & ~us.attackedByEnemy;
                    }
                    if (!(lookahead && entry.movesSearched <= 1 && eval >= beta && s <= beta + 1) &&
                        !(threat & bit(moveTo(m)))) {
                        // The null-move distance gates the killers only; history learns always.
                        if (pliesSincePreviousNull() > KILLER_MIN_NULL_DISTANCE)
                            updateKillers(entry.killers.group[killerGroup], at(ply - 2).killers.group[killerGroup], m,
                                          depth, pliesSinceNull() == 1, s == MATE - 1 - ply);
                        history_[pos.sideToMove()].update(m, depth / ONE_PLY);
                    }
                    table_.store(pos.key(), m, s, makeDepthWord(depth, BOUND_LOWER | (ttMark ? EXTENSION_MARK : 0)), ply,
                                 entry.nullWindowCount);
                    return s;
                }
            } else if (n <= DRAW_ESCAPE_MAX_MOVES && inCheck && s >= -DRAW_SCORE_TOLERANCE && s <= DRAW_SCORE_TOLERANCE &&
                       alpha > DRAW_ESCAPE_MIN_ALPHA && d >= 0 && entry.captured != 0 &&
                       nodes - nodesBefore == 1) {
                // Draw-escape mark: the only way out of check is a capture into a dead draw.
                ttMark = true;
            }
        }
    }

    if (entry.movesSearched == 0) return inCheck ? -(MATE - ply) : pruned == 0 ? 0 : eval;
    if (pruned > 0 && best < eval) best = eval + FUTILITY_MARGIN;
    history_[pos.sideToMove()].age();
    table_.store(pos.key(), bestMove, best,
                 makeDepthWord(depth, (best <= alpha0 ? BOUND_UPPER : BOUND_EXACT) | (ttMark ? EXTENSION_MARK : 0)), ply,
                 entry.nullWindowCount);
    return best;
}

}  // namespace zelmora
