#include "eval/pawn_table.h"

#include "eval/eval_terms.h"

namespace zelmora {

const PawnEntry& PawnTable::probe(const Position& pos) {
    if ((pos.side(WHITE).pieces[PAWN] | pos.side(BLACK).pieces[PAWN]) == 0) return EMPTY;
    PawnEntry& entry = entries_[pos.pawnKey() & (SIZE - 1)];
    if (entry.key != pos.pawnKey()) {
        entry.key = pos.pawnKey();
        computePawnEntry(pos, entry);
    }
    return entry;
}

void PawnTable::clear() {
    for (PawnEntry& e : entries_) e = PawnEntry{};
}

}  // namespace zelmora
