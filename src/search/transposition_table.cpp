#include "search/transposition_table.h"

namespace zelmora {

// Placeholder until the table lands: a table that never finds anything.
TranspositionTable::TranspositionTable(std::size_t) : memory_(nullptr, LargeMemoryDeleter{0}) {}
bool TranspositionTable::resize(std::size_t) { return true; }
void TranspositionTable::clear() {}
void TranspositionTable::newSearch() {}
bool TranspositionTable::probe(std::uint64_t, int, Move&, int&, int&, int&) { return false; }
void TranspositionTable::store(std::uint64_t, Move, int, int, int, int) {}
void TranspositionTable::remove(std::uint64_t) {}
bool TranspositionTable::cutoffTest(int, int, int, int, int) { return false; }
int TranspositionTable::hashFull() const { return 0; }
bool BusyMoveSet::testAndSet(unsigned) { return false; }
void BusyMoveSet::clear(unsigned) {}
void BusyMoveSet::clearAll() {}

}  // namespace zelmora
