#pragma once
// Pawn structure, cached by pawn key: scores and the pawn-derived square sets that the piece
// terms, the king terms, the recognizers and the search read.

#include <cstdint>

#include "board/position.h"

namespace zelmora {

// One cache line: sets that are cheap to rebuild from the pawns (file fills, pawn counts) are
// left out, so that a probe touches a single line.
struct alignas(64) PawnEntry {
    std::uint64_t key = 0;
    Bitboard passed = 0;          // passed pawns of both colours
    Bitboard weak = 0;            // weak pawns of both colours (isolated or backward)
    Bitboard outposts[2] = {};    // squares where a minor of that colour stands well
    Bitboard attackSpan[2] = {};  // squares each colour's pawns attack now or after advancing
    int middlegame = 0;           // White's view
    int endgame = 0;
};
static_assert(sizeof(PawnEntry) == 64);

class PawnTable {
public:
    static constexpr int SIZE = 4096;

    // The entry for the position's pawns, computed on a key mismatch; EMPTY without pawns.
    const PawnEntry& probe(const Position& pos);
    // Starts loading the position's slot, so that the probe after the other terms finds it in cache.
    void prefetch(const Position& pos) const { __builtin_prefetch(&entries_[pos.pawnKey() & (SIZE - 1)]); }
    void clear();

    static constexpr PawnEntry EMPTY{};

private:
    PawnEntry entries_[SIZE];
};

}  // namespace zelmora
