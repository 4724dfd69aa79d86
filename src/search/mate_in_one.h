#pragma once

#include "board/position.h"

namespace zelmora {

// A queen contact mate or a back-rank mate of the side to move, looked for only when the enemy
// king stands on the edge. Candidates are played and tested, so a reported mate is real; the
// position is left as it was.
bool findMateInOne(Position& pos, Move& move);

}  // namespace zelmora
