#include "search/engine.h"

#include "search/transposition_table.h"

namespace zelmora {

void PlyEntry::reset() {
    currentMove = bestMove = NO_MOVE;
    movesSearched = 0;
    nullWindowCount = 0;
    key = 0;
    extension = 0;
    reduced = false;
    staticEval = 0;
    killers.reset();
    undo = UndoRecord{};
    captured = 0;
}

Engine::Engine(SharedSearch& shared, int index) : threadIndex(index), shared_(shared), table_(shared.table) {
    moveChangeNetwork.loadMoveChangeNetwork();
    for (PlyEntry& e : plyStack_) e.reset();
    for (HistoryTable& h : history_) h.reset();
}

int Engine::hashFull() const { return table_.hashFull(); }

void Engine::resetSearchState() {
    ply = -1;
    nulls_ = NullMovePath{};
}

void Engine::prepareSearch() {
    position = shared_.game.position;
    resetSearchState();
    rootAlpha = -WINDOW_END;
    rootBeta = WINDOW_END;
    nodes = 0;
    selectiveDepth = 0;
    for (HistoryTable& h : history_) h.reset();
    for (PlyEntry& e : plyStack_) e.reset();
}

}  // namespace zelmora
