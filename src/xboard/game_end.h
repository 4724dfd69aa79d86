#pragma once
// The result line an xboard interface expects when a move has ended the game.

#include "board/game_record.h"

namespace zelmora {

// "1-0 {White mates}", "1/2-1/2 {Stalemate}", the draw rules' lines, or nullptr while the game goes on.
const char* gameEndText(const GameRecord& game);

}  // namespace zelmora
