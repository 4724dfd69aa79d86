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

Engine::Engine()
    : listener(&nullListener_), ownTable(std::make_unique<TranspositionTable>()) {
    table = ownTable.get();
    for (PlyEntry& e : plyStack_) e.reset();
    for (HistoryTable& h : history_) h.reset();
}

Engine::~Engine() = default;

int Engine::hashFull() const { return table ? table->hashFull() : 0; }

void Engine::setListener(EngineListener* newListener) {
    listener = newListener != nullptr ? newListener : &nullListener_;
}

void Engine::setRootFilter(const char* text, bool exclude) {
    rootFilterSet_ = text != nullptr;
    rootFilterExclude_ = exclude;
    rootFilter_ = text != nullptr ? text : "";
}

}  // namespace zelmora
