#pragma once
// What the search learns for move ordering: history counters of quiet moves by side, and two
// killer moves per ply and kind of node.

#include <cstdint>

#include "board/types.h"

namespace zelmora {

// Indexed by the low 12 bits of the move word (from + 64 * to).
struct HistoryTable {
    std::uint32_t increment;
    std::uint32_t limit;
    int shift;
    int updateCount;
    std::uint32_t counters[4096];

    void reset();
    void update(Move m, int depthInPlies);
    void age();  // at the end of a node without cutoff
};

struct KillerGroup {
    Move killer1;
    std::int16_t score1;
    Move killer2;
    std::int16_t score2;
};

// Per ply: one group for nodes out of check, one for nodes in check.
struct KillerSlots {
    KillerGroup group[2];
    void reset();  // move 0, score -9999
};

// cur: this ply's group; grand: the group of the same kind two plies up; depth in eighths.
void updateKillers(KillerGroup& cur, const KillerGroup& grand, Move m, int depth, bool afterNull, bool mate);

}  // namespace zelmora
