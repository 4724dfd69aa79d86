// The quiescence search: captures, promotions and, at its first levels, checks, until the
// position is quiet enough for the static evaluation to stand.

#include "search/engine.h"
#include "search/transposition_table.h"

namespace zelmora {

int Engine::quiesce(int alpha, int beta, int qdepth) {
    ++ply;
    if (ply > selectiveDepth) selectiveDepth = ply;
    const int score = quiesceNode(alpha, beta, qdepth);
    --ply;
    return score;
}

// Below a hopeless stand-pat score only captures of victims that could bring the score back
// into the window are worth trying. Returns the squares of those victims (with the queens and
// loose pinned pieces always among them); futilityBest gets the best score a skipped class
// could reach.
Bitboard Engine::deltaPruneTargets(int eval, int alpha, int& futilityBest) {
    Position& pos = position;
    const SideRecord& them = pos.them();
    const SideRecord& us = pos.us();
    const Colour enemy = ~pos.sideToMove();
    Bitboard targets = them.pieces[QUEEN] | (them.pieces[ALL_PIECES] & pos.pinnedAttacked() &
                                             (~us.attackedByEnemy | them.attackedTwiceByEnemy));

    struct VictimClass {
        int type;
        Bitboard mask;
    };
    static constexpr VictimClass CLASSES[5] = {
        {BISHOP, LIGHT_SQUARES}, {BISHOP, DARK_SQUARES}, {PAWN, ~Bitboard(0)}, {KNIGHT, ~Bitboard(0)}, {ROOK, ~Bitboard(0)}};

    for (const VictimClass& c : CLASSES) {
        const Bitboard victims = them.pieces[c.type] & c.mask;
        if (!victims) continue;
        int delta;
        {
            const Position::MaterialWithout captured(pos, enemy, c.type, lowestBit(victims));
            delta = evaluator.material.score(pos, true);
        }
        const int v = eval + DELTA_VICTIM_MARGIN + (pos.whiteToMove() ? delta : -delta);
        if (v < alpha) {
            if (v > futilityBest) futilityBest = v;
        } else {
            targets |= victims;
        }
    }
    return targets;
}

int Engine::quiesceNode(int alpha, int beta, int qdepth) {
    Position& pos = position;
    PlyEntry& entry = at(ply);
    entry.bestMove = NO_MOVE;
    entry.currentMove = NO_MOVE;
    if (ply > MAX_PLY - 1) return evaluator.evaluate(pos);

    const bool inCheck = pos.inCheck();
    int mateScore;
    if (matesInOne(entry, inCheck, mateScore)) return mateScore;
    enterPath(entry, alpha, beta);
    if (ply >= PATH_REPETITION_DISTANCE && at(ply - PATH_REPETITION_DISTANCE).key == pos.key()) return 0;

    Move hashMove = NO_MOVE;
    Move ttMove;
    int ttScore, ttCount, ttDepthWord;
    if (table_.probe(pos.key(), ply, ttMove, ttScore, ttCount, ttDepthWord)) {
        if (TranspositionTable::cutoffTest(ttScore, ttDepthWord, alpha, beta, qdepth)) {
            shortenNullWindowCounts(ttCount);
            return ttScore;
        }
        hashMove = ttMove;
    }

    ++nodes;
    const int eval = evaluator.evaluate(pos);
    const EndgameRecognizer* recognizer = evaluator.recognizer();
    const int alpha0 = alpha;
    int best;
    int futilityBest = -MATE;
    bool restricted = false;
    Bitboard targets = 0;

    if (inCheck) {
        best = ply - MATE;
        targets = pos.them().pieces[ALL_PIECES];
    } else {
        if (eval >= beta) return eval;
        const SideRecord& us = pos.us();
        const SideRecord& them = pos.them();
        if (qdepth <= QUIESCENCE_CHECKS_END && !(pawnAttacks(us.pieces[PAWN], pos.sideToMove()) & (RANK_1 | RANK_8)) &&
            !(them.pieces[ALL_PIECES] & them.attackedByEnemy))
            return eval;
        best = eval;
        if (eval > alpha) {
            alpha = eval;
        } else if (qdepth <= QUIESCENCE_CHECKS_END && eval + DELTA_PRUNING_MARGIN < alpha) {
            targets = deltaPruneTargets(eval, alpha, futilityBest);
            restricted = true;
        }
    }

    int recognized;
    if (recognizer->evaluateQuiet(pos, recognized)) return recognized;

    MoveGenerator& generator = generators_[ply];
    const int n = generator.init(moveBuffer_[ply], pos, history_[pos.sideToMove()], true, qdepth > QUIESCENCE_CHECKS_END,
                                 entry.killers.group[inCheck ? 1 : 0], nullptr, hashMove);
    prefetchSuccessors(moveBuffer_[ply], std::min(n, PREFETCHED_SUCCESSORS));
    const int ext = inCheck && n == 1 ? SINGLE_EVASION_EXTENSION : 0;
    Move bestMove = NO_MOVE;
    entry.movesSearched = 0;

    while (MoveEntry* record = generator.next()) {
        const Move m = record->move;
        const Bitboard to = bit(moveTo(m));
        if (restricted && movePromotion(m) != QUEEN && !(targets & to)) continue;
        const bool capturing = (pos.occupied() & to) != 0;
        entry.currentMove = m;
        if (!pos.makeLegal(m, entry.undo, [this](std::uint64_t key) { table_.prefetch(key); })) continue;
        entry.captured = entry.undo.captured;
        // Evasions near the horizon keep counting down; everything else goes to the check-free depth.
        int childDepth = QUIESCENCE_CHECKS_END;
        if (inCheck && qdepth > QUIESCENCE_CHECKS_END) {
            childDepth = qdepth - 1 + ext;
            if (childDepth >= 0) childDepth = QUIESCENCE_ENTRY_DEPTH;
        }
        const int s = -quiesce(-beta, -alpha, childDepth);
        pos.unmake(entry.undo);
        ++entry.movesSearched;

        if (s >= beta) {
            entry.bestMove = m;
            table_.store(pos.key(), m, s, makeDepthWord(qdepth, BOUND_LOWER), ply, entry.nullWindowCount);
            return s;
        }
        if (s > best) {
            if (s > alpha) alpha = s;
            best = s;
            bestMove = m;
            entry.bestMove = m;
            // Once a capture escapes the check, the other evasions need to capture as well.
            if (inCheck && qdepth <= QUIESCENCE_CHECKS_END && s > -MATE_THRESHOLD && capturing) restricted = true;
        }
    }

    if (restricted && !inCheck && best < futilityBest) best = futilityBest;
    if (bestMove != NO_MOVE)
        table_.store(pos.key(), bestMove, best, makeDepthWord(qdepth, best > alpha0 ? BOUND_EXACT : BOUND_UPPER), ply,
                     entry.nullWindowCount);
    return best;
}

}  // namespace zelmora
