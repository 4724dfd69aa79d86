#pragma once
// King and pawn against king, solved at start-up by retrograde passes.

#include "board/types.h"

namespace zelmora {

// Entry values: 127 illegal, 126 draw, 1..125 a win for the strong side in that many steps.
constexpr int KPK_ILLEGAL = 127;
constexpr int KPK_DRAW = 126;

void buildKpkTable();  // called by initBoardTables()

// The pawn belongs to the strong side and runs toward rank 8; squares on files e..h are mirrored.
// Returns the distance of the win, or -1 for a draw (127 for an illegal placement).
int kpkProbe(Square strongKing, Square pawn, Square weakKing, bool strongToMove);

}  // namespace zelmora
