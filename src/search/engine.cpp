#include "search/engine.h"

#include "search/transposition_table.h"

namespace zelmora {

Engine::Engine()
    : listener(&nullListener_), ownTable(std::make_unique<TranspositionTable>()) {
    table = ownTable.get();
}

Engine::~Engine() = default;

int Engine::hashFull() const { return table ? table->hashFull() : 0; }

// Placeholders until the search lands.
bool Engine::think() { return true; }
void Engine::setRootFilter(const char*, bool) {}

void Engine::setListener(EngineListener* newListener) {
    listener = newListener != nullptr ? newListener : &nullListener_;
}

}  // namespace zelmora
