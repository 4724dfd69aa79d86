// The search's helpers: repetitions on the path, the mate-in-one shortcut and the opening of a
// node, the transposition lookahead and the null-window bookkeeping after table cutoffs.

#include "board/movegen.h"
#include "search/mate_in_one.h"
#include "search/engine.h"
#include "search/transposition_table.h"

namespace zelmora {

bool Engine::isPathRepetition(std::uint64_t key, int fromPly) const {
    for (int i = fromPly - PATH_REPETITION_DISTANCE; i >= 0; i -= 2)
        if (at(i).key == key) return true;
    return false;
}

bool Engine::mateInOne(Move& move) { return findMateInOne(position, move); }

bool Engine::matesInOne(PlyEntry& entry, bool inCheck, int& score) {
    Move mate;
    if (inCheck || !mateInOne(mate)) return false;
    // Recorded so that a null move's parent sees the mating move as the refutation.
    entry.bestMove = entry.currentMove = mate;
    score = MATE - 1 - ply;
    return true;
}

void Engine::enterPath(PlyEntry& entry, int alpha, int beta) {
    entry.key = position.key();
    entry.nullWindowCount = (alpha + 1 == beta ? 1 : 0) + at(ply - 1).nullWindowCount;
}

// The successors' table buckets are fetched together before any is searched, so that their
// memory latencies overlap. The keys leave out castling and en-passant changes: a wrong guess
// only costs a useless fetch.
void Engine::prefetchSuccessors(const MoveEntry* moves, int count) const {
    const Position& pos = position;
    const Colour us = pos.sideToMove(), them = ~us;
    const Bitboard enemies = pos.side(them).pieces[ALL_PIECES];
    std::uint64_t base = pos.key() ^ WHITE_TO_MOVE_KEY;
    if (pos.epSquare() != NO_SQUARE) base ^= zobrist(WHITE, 0, pos.epSquare());
    for (int i = 0; i < count; ++i) {
        const Move m = moves[i].move;
        const int piece = movePiece(m), promotion = movePromotion(m);
        const Square from = moveFrom(m), to = moveTo(m);
        std::uint64_t key = base ^ zobrist(us, piece, from) ^ zobrist(us, promotion ? promotion : piece, to);
        if (enemies & bit(to)) key ^= zobrist(them, pos.pieceOn(them, to), to);
        table_.prefetch(key);
    }
}

void Engine::shortenNullWindowCounts(int count) {
    for (int p = ply; p >= 1; --p) {
        PlyEntry& e = at(p);
        if (count >= e.nullWindowCount) break;
        e.nullWindowCount = count++;
    }
}

// Looks one ply ahead through the table for a move that settles the node: a mate, a draw that
// is good enough, or the successor whose stored bound is best for us. All bounds here are seen
// from the successor, so the best move is the one with the lowest upper bound there.
bool Engine::transpositionLookahead(int beta, int depth, MoveGenerator& generator, BusyMoveSet* busy,
                                    int reducedDepth) {
    Position& pos = position;
    PlyEntry& entry = at(ply);
    const std::uint64_t key = pos.key();
    const EndgameRecognizer* noKnowledge = evaluator.registry.defaultRecognizer();
    const int childDepth = depth - ONE_PLY;
    int bound = MATE;           // proven: some successor scores at most this
    int candidateBound = MATE;  // the candidate's stored bound
    Move candidate = NO_MOVE;

    while (MoveEntry* record = generator.next()) {
        const Move m = record->move;
        if (busy) busy->clear(BusyMoveSet::indexOf(m, key));
        if (!pos.makeLegal(m, entry.undo)) continue;

        if (pos.inCheck() && noLegalMove(pos)) {
            pos.unmake(entry.undo);
            candidate = m;
            break;
        }
        if (isPathRepetition(pos.key(), ply + 1) || shared_.game.searchDraw(pos) != NO_DRAW) {
            pos.unmake(entry.undo);
            if (0 >= beta) {
                candidate = m;
                break;
            }
            continue;
        }

        const EndgameRecognizer* recognizer = evaluator.registry.select(pos);
        if (recognizer != noKnowledge) {
            int value, adjust = 0;
            if (recognizer->bound(pos, value, bound - 1, MATE, reducedDepth, adjust) && value < bound) {
                bound = value;
                pos.unmake(entry.undo);
                continue;
            }
        }

        Move stored;
        int score, count, depthWord;
        if (table_.probe(pos.key(), ply + 1, stored, score, count, depthWord)) {
            const int storedDepthValue = storedDepth(depthWord);
            if (storedDepthValue >= reducedDepth) shortenNullWindowCounts(count);
            if (score <= bound && (depthWord & BOUND_MASK) != BOUND_LOWER) {
                const bool deepEnough =
                    storedDepthValue >= childDepth && (!pos.inCheck() || storedDepthValue >= childDepth + 3 * ONE_PLY);
                if (score < -MATE_THRESHOLD + 1 || deepEnough) bound = score;
                if (storedDepthValue >= reducedDepth - ONE_PLY && score < candidateBound) {
                    candidate = m;
                    candidateBound = score;
                }
            }
        }
        pos.unmake(entry.undo);
    }

    generator.rewind();
    if (candidate == NO_MOVE) return false;
    generator.hashMove = candidate;
    return true;
}

}  // namespace zelmora
