#include "eval/pawn_table.h"

namespace zelmora {

// Placeholder until the pawn-structure terms land.
const PawnEntry& PawnTable::probe(const Position& pos) {
    PawnEntry& entry = entries_[pos.pawnKey % SIZE];
    entry.key = pos.pawnKey;
    return entry;
}

void PawnTable::clear() {
    for (PawnEntry& e : entries_) e = PawnEntry{};
}

}  // namespace zelmora
