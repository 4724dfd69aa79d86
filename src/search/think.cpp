// One "go": iterative deepening over the root moves until the clock or the depth limit says
// enough, with the principal variation rebuilt from the table after every iteration.

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "search/engine.h"
#include "search/move_change.h"
#include "search/search_limits.h"
#include "search/transposition_table.h"

namespace zelmora {

// Completes the line the last prediction started with what happened in this iteration: whether
// its best move differs from the first move of the line before. Only ordinary middle-game
// searches of some size are worth learning from.
void Engine::logMoveChange(int score) {
    const PrincipalVariation& before = iterationPv_[iterationPvIndex_];
    const PrincipalVariation& older = iterationPv_[iterationPvIndex_ ^ 1];
    if (settings().timeLogFile[0] == '\0' || timeLogText_[0] == '\0' || score < -TIME_LOG_SCORE_LIMIT ||
        score > TIME_LOG_SCORE_LIMIT)
        return;
    const GameRecord& game = shared_.game;
    if (game.keyCount >= TIME_LOG_GAME_KEYS_LIMIT || nodes <= TIME_LOG_MIN_NODES || before.length <= 0 ||
        older.length <= 0)
        return;
    if (evaluator.registry.select(game.position) != evaluator.registry.defaultRecognizer()) return;
    appendTimeLogLine(settings().timeLogFile, timeLogText_, pvMove.load(std::memory_order_relaxed) != before.moves[0] ? 1 : 0);
}

void Engine::beginSearch() {
    iterationDepth = 0;
    firstIteration = true;
    newBest = false;
    changedBack_ = false;
    selectiveDepth = 0;
    nodes = 0;
    pvMove = ponderMove = NO_MOVE;
    pv.length = 0;
    multiPvCount_ = 0;
    lastAlpha = -WINDOW_END;
    lastBeta = WINDOW_END;
    position = shared_.game.position;
    buildRootMoves();
}

void Engine::playKnownMove(Move move) {
    pvMove = move;
    extractPv(move, pv);
}

bool Engine::iterate() {
    runIterations();
    shared_.waitWhilePondering();
    return !stopped();
}

bool Engine::think() {
    beginSearch();
    // The main thread starts a new search generation in the table (and ends book mode).
    if (threadIndex == 0) table_.newSearch();
    return iterate();
}

void Engine::runIterations() {
    if (!stopped()) {
        for (HistoryTable& h : history_) h.reset();
        for (PlyEntry& e : plyStack_) e.reset();
        if (settings().alwaysClearHash) {
            if (threadIndex == 0) {
                // Clearing a large table takes a while; it is not charged to the move.
                if (clock) clock->stop();
                table_.clear();
                if (clock) clock->start();
            }
            evaluator.clearCaches();
        }
    }
    resetSearchState();
    const double bonus = table_.bookCount != 0 ? BOOK_EXIT_CHANGE_BONUS : 0.0;
    changePercent = INITIAL_CHANGE_PERCENT;
    timeLogText_[0] = '\0';

    // A root entry from an earlier search names the move to start with.
    bool known = false;
    Move stored;
    int storedScore, count, depthWord;
    if (table_.probe(position.key(), 0, stored, storedScore, count, depthWord) &&
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
    const int multiPv = settings().multiPv;
    while (!stopped() && iterationDepth < MAX_PLY) {
        if (iterationDepth > 0) {
            const bool more = clock != nullptr && clock->nextIteration(nodes, iterationDepth, changePercent + bonus);
            if (threadIndex == 0) shared_.continueIterating.store(more, std::memory_order_relaxed);
            if (!more && !pondering()) break;
        }
        orderRootMoves();
        newBest = false;
        changedBack_ = false;
        multiPvCount_ = 0;
        const int previousScore = lastScore;
        const int score = rootSearch(ONE_PLY * iterationDepth);
        const bool interrupted = stopped();
        if (multiPv >= 2 && multiPvCount_ >= 2 && !interrupted) reportMultiPv();
        else if (firstIteration && !interrupted) pvReport(score, -WINDOW_END, WINDOW_END);

        ++iterationDepth;
        firstIteration = false;
        rootAlpha = -WINDOW_END;
        rootBeta = WINDOW_END;
        if (!interrupted) lastScore = score;
        if (!interrupted) logMoveChange(score);

        const PrincipalVariation& previousLine = iterationPv_[iterationPvIndex_];
        iterationPvIndex_ ^= 1;
        PrincipalVariation& line = iterationPv_[iterationPvIndex_];
        ponderMove = extractPv(pvMove, line);
        pv = line;
        if (multiPv < 2) {
            const MoveChangeSample sample{&previousLine, &line, &shared_.game.position, previousScore, score,
                                          changedBack_, rootMoveCount};
            const double p = predictMoveChange(moveChangeNetwork, sample, timeLogText_);
            changePercent = std::clamp(100.0 * p, 0.0, MAX_CHANGE_PERCENT);
            if (settings().timeLogFile[0] != '\0') {
                char text[64];
                std::snprintf(text, sizeof text, "Best move will change with %5.1f%% probability", changePercent);
                shared_.listener->infoString(text);
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
