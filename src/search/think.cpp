// One "go": iterative deepening over the root moves until the clock or the depth limit says
// enough, with the principal variation rebuilt from the table after every iteration.

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "book/book_probe.h"
#include "control/time_limits.h"
#include "pgn/game_script.h"
#include "search/engine.h"
#include "search/move_change.h"
#include "search/transposition_table.h"
#include "util/platform.h"

namespace zelmora {

namespace {

// How often a waiting search looks at its flags again.
constexpr int NAP_MS = 40;

void napWhile(const std::atomic<bool>& flag) {
    while (flag.load(std::memory_order_relaxed)) sleepMilliseconds(NAP_MS);
}

}  // namespace

void Engine::prepareSearch() {
    position = game.position;
    ply = -1;
    lastNullPly = -1;
    previousNullPly = -10;
    rootAlpha = -WINDOW_END;
    rootBeta = WINDOW_END;
    nodes = 0;
    selectiveDepth = 0;
    for (HistoryTable& h : history_) h.reset();
    for (PlyEntry& e : plyStack_) e.reset();
}

// The followed game and then the opening book answer here (the book not when the root moves
// were filtered); no move means the position is searched.
Move Engine::bookOrGameMove() {
    Move move = NO_MOVE;
    if (gameScript != nullptr && (move = gameScript->moveFor(position.key)) != NO_MOVE && isLegalMove(position, move))
        return move;
    if (rootFilterSet_ || !ownBook) return NO_MOVE;
    // A key collision with a book position must not make the engine play an impossible move.
    if (probeBook(*table, position.key, move) && isLegalMove(position, move)) return move;
    return NO_MOVE;
}

// Completes the line the last prediction started with what happened in this iteration: whether
// its best move differs from the first move of the line before. Only ordinary middle-game
// searches of some size are worth learning from.
void Engine::logMoveChange(int score) {
    const PrincipalVariation& before = iterationPv_[iterationPvIndex_];
    const PrincipalVariation& older = iterationPv_[iterationPvIndex_ ^ 1];
    if (searchLogFile_[0] == '\0' || timeLogText_[0] == '\0' || score < -TIME_LOG_SCORE_LIMIT ||
        score > TIME_LOG_SCORE_LIMIT)
        return;
    if (game.keyCount >= TIME_LOG_GAME_KEYS_LIMIT || nodes <= TIME_LOG_MIN_NODES || before.length <= 0 ||
        older.length <= 0)
        return;
    if (evaluator.registry.select(game.position) != evaluator.registry.defaultRecognizer()) return;
    appendTimeLogLine(searchLogFile_, timeLogText_, pvMove.load(std::memory_order_relaxed) != before.moves[0] ? 1 : 0);
}

bool Engine::think() {
    iterationDepth = 0;
    firstIteration = true;
    newBest = false;
    changedBack = false;
    selectiveDepth = 0;
    nodes = 0;
    pvMove = ponderMove = NO_MOVE;
    pv.length = 0;
    moveFromBook = false;
    multiPvCount = 0;
    lastAlpha = -WINDOW_END;
    lastBeta = WINDOW_END;
    position = game.position;
    buildRootMoves();

    Move taken = NO_MOVE;
    if (threadIndex == 0) {
        taken = bookOrGameMove();
        if (taken == NO_MOVE) table->newSearch();
    } else {
        while (table->bookCount != 0 && !stop.load(std::memory_order_relaxed))
            sleepMilliseconds(NAP_MS);
    }

    if (taken != NO_MOVE) {
        pvMove = taken;
        moveFromBook = true;
        extractPv(pvMove, pv);
    } else {
        runIterations();
    }
    napWhile(ponder);
    return !stop.load(std::memory_order_relaxed);
}

void Engine::runIterations() {
    if (!stop.load(std::memory_order_relaxed)) {
        for (HistoryTable& h : history_) h.reset();
        for (PlyEntry& e : plyStack_) e.reset();
        if (alwaysClearHash) {
            if (threadIndex == 0) {
                if (clock) clock->stop();
                table->clear();
                if (clock) clock->start();
            }
            evaluator.clearCaches();
        }
    }
    ply = -1;
    lastNullPly = -1;
    previousNullPly = -10;
    const double bonus = table->bookCount != 0 ? BOOK_EXIT_CHANGE_BONUS : 0.0;
    changePercent = INITIAL_CHANGE_PERCENT;
    timeLogText_[0] = '\0';
    {
        LockGuard guard(logFileLock_);
        std::memcpy(searchLogFile_, logFile_, sizeof searchLogFile_);
    }

    // A root entry from an earlier search names the move to start with.
    bool known = false;
    Move stored;
    int storedScore, count, depthWord;
    if (table->probe(position.key, 0, stored, storedScore, count, depthWord) &&
        (depthWord & BOUND_MASK) != BOUND_UPPER && stored != NO_MOVE) {
        int highest = -WINDOW_END;
        for (int i = 0; i < rootMoveCount; ++i)
            if (rootMoves[i].score > highest) highest = rootMoves[i].score;
        for (int i = 0; i < rootMoveCount; ++i) {
            if (rootMoves[i].move != stored) continue;
            rootMoves[i].score = highest + 1;
            pvMove = stored;
            lastScore = storedScore;
            known = true;
        }
    }
    if (!known) lastScore = quiesce(-WINDOW_END, WINDOW_END, QUIESCENCE_CHECKS_END);

    // A forced move is played at once, but still reported with a line.
    if (rootMoveCount == 1) {
        if (pvMove == NO_MOVE) pvMove = rootMoves[0].move;
        iterationDepth = 1;
        pvReport(lastScore, lastScore - 1, lastScore + 1);
        if (ponderMove == NO_MOVE) ponderMove = lookUpPonderMove(pvMove);
        return;
    }

    rootAlpha = -WINDOW_END;
    rootBeta = WINDOW_END;
    while (!stop.load(std::memory_order_relaxed) && iterationDepth < MAX_PLY) {
        if (iterationDepth > 0) {
            const bool more = clock != nullptr && clock->nextIteration(nodes, iterationDepth, changePercent + bonus);
            continueIterating.store(more, std::memory_order_relaxed);
            if (!more && !ponder.load(std::memory_order_relaxed)) break;
        }
        orderRootMoves();
        newBest = false;
        changedBack = false;
        multiPvCount = 0;
        const int previousScore = lastScore;
        const int score = rootSearch(ONE_PLY * iterationDepth);
        const bool stopped = stop.load(std::memory_order_relaxed);
        if (multiPv >= 2 && multiPvCount >= 2 && !stopped) reportMultiPv();
        else if (firstIteration && !stopped) pvReport(score, -WINDOW_END, WINDOW_END);

        ++iterationDepth;
        firstIteration = false;
        rootAlpha = -WINDOW_END;
        rootBeta = WINDOW_END;
        if (!stopped) lastScore = score;
        if (!stopped) logMoveChange(score);

        const PrincipalVariation& previousLine = iterationPv_[iterationPvIndex_];
        iterationPvIndex_ ^= 1;
        PrincipalVariation& line = iterationPv_[iterationPvIndex_];
        ponderMove = extractPv(pvMove, line);
        pv = line;
        if (multiPv < 2) {
            const MoveChangeSample sample{&previousLine, &line, &game.position, previousScore, score,
                                          changedBack, rootMoveCount};
            const double p = predictMoveChange(moveChangeNetwork, sample, timeLogText_);
            changePercent = std::clamp(100.0 * p, 0.0, MAX_CHANGE_PERCENT);
            if (searchLogFile_[0] != '\0') {
                char text[64];
                std::snprintf(text, sizeof text, "Best move will change with %5.1f%% probability", changePercent);
                listener->infoString(text);
            }
        }
    }

    // Stopped before the first move was searched: any legal move beats none.
    if (pvMove == NO_MOVE && rootMoveCount > 0) {
        pvMove = rootMoves[0].move;
        extractPv(pvMove, pv);
    }
}

}  // namespace zelmora
