// One "go": iterative deepening over the root moves until the clock or the depth limit says
// enough, with the principal variation rebuilt from the table after every iteration.

#include <chrono>
#include <thread>

#include "control/time_limits.h"
#include "search/engine.h"
#include "search/transposition_table.h"

namespace zelmora {

namespace {

void napWhile(const std::atomic<bool>& flag) {
    while (flag.load(std::memory_order_relaxed)) std::this_thread::sleep_for(std::chrono::milliseconds(40));
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
Move Engine::bookOrGameMove() { return NO_MOVE; }

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
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
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
    const double bonus = table->bookCount != 0 ? 18.0 : 0.0;
    changePercent = 20.0;

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
    if (!known) lastScore = quiesce(-WINDOW_END, WINDOW_END, -4);

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
        const int score = rootSearch(ONE_PLY * iterationDepth);
        const bool stopped = stop.load(std::memory_order_relaxed);
        if (multiPv >= 2 && multiPvCount >= 2 && !stopped) reportMultiPv();
        else if (firstIteration && !stopped) pvReport(score, -WINDOW_END, WINDOW_END);

        ++iterationDepth;
        firstIteration = false;
        rootAlpha = -WINDOW_END;
        rootBeta = WINDOW_END;
        if (!stopped) lastScore = score;

        iterationPvIndex_ ^= 1;
        PrincipalVariation& line = iterationPv_[iterationPvIndex_];
        ponderMove = extractPv(pvMove, line);
        pv = line;
        // The best-move-change prediction will set changePercent here; until then it stays 20.
    }

    // Stopped before the first move was searched: any legal move beats none.
    if (pvMove == NO_MOVE && rootMoveCount > 0) {
        pvMove = rootMoves[0].move;
        extractPv(pvMove, pv);
    }
}

}  // namespace zelmora
