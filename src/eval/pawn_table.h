#pragma once
// Pawn structure, cached by pawn key: scores and the pawn-derived square sets that the piece
// terms, the king terms and the recognizers read.

#include <cstdint>

#include "board/position.h"

namespace zelmora {

struct PawnEntry {
    std::uint64_t key = 0;
    int middlegame = 0;  // White's view
    int endgame = 0;
    Bitboard frontSpan[2] = {};     // squares in front of each colour's pawns, on their files
    Bitboard passed = 0;            // passed pawns of both colours
    Bitboard backward = 0;          // backward pawns of both colours
    Bitboard weak = 0;              // weak pawns of both colours (isolated or backward)
    Bitboard outposts[2] = {};      // squares where a minor of that colour stands well
    Bitboard rookFiles[2] = {};     // the rook-file set of each colour
    Bitboard rookSecondSet[2] = {}; // the second rook set of each colour
    int rookFileIndex[2] = {};      // index into the rook-file table, 0..8
    Bitboard attackSpan[2] = {};    // squares each colour's pawns attack now or after advancing
};

class PawnTable {
public:
    static constexpr int SIZE = 1024;

    // The entry for the position's pawns, computed on a key mismatch; EMPTY without pawns.
    const PawnEntry& probe(const Position& pos);
    void clear();

    static constexpr PawnEntry EMPTY{};

private:
    PawnEntry entries_[SIZE];
};

}  // namespace zelmora
