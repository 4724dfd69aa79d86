#include "search/engine.h"

#include <cstdio>

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
    moveChangeNetwork.loadMoveChangeNetwork();
    for (PlyEntry& e : plyStack_) e.reset();
    for (HistoryTable& h : history_) h.reset();
}

Engine::Engine(TranspositionTable* sharedTable, int index) : listener(&nullListener_), table(sharedTable) {
    threadIndex = index;
    moveChangeNetwork.loadMoveChangeNetwork();
    for (PlyEntry& e : plyStack_) e.reset();
    for (HistoryTable& h : history_) h.reset();
}

Engine::~Engine() = default;

void Engine::adoptStateOf(const Engine& main) {
    game = main.game;
    table = main.table;
    evaluator.material.copySettings(main.evaluator.material);
    ownBook = main.ownBook;
    alwaysClearHash = main.alwaysClearHash.load();
    resignThreshold = main.resignThreshold.load();
    multiPv = main.multiPv;
    threadCount = main.threadCount;
    setLogFile(main.logFileName().c_str());
    rootFilter_ = main.rootFilter_;
    rootFilterSet_ = main.rootFilterSet_;
    rootFilterExclude_ = main.rootFilterExclude_;
}

int Engine::hashFull() const { return table ? table->hashFull() : 0; }

void Engine::setListener(EngineListener* newListener) {
    listener = newListener != nullptr ? newListener : &nullListener_;
}

void Engine::setLogFile(const char* name) {
    LockGuard guard(logFileLock_);
    std::snprintf(logFile_, sizeof logFile_, "%s", name);
}

std::string Engine::logFileName() const {
    LockGuard guard(logFileLock_);
    return logFile_;
}

void Engine::setRootFilter(const char* text, bool exclude) {
    rootFilterSet_ = text != nullptr;
    rootFilterExclude_ = exclude;
    rootFilter_ = text != nullptr ? text : "";
}

}  // namespace zelmora
