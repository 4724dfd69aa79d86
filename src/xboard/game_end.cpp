#include "xboard/game_end.h"

#include "board/movegen.h"

namespace zelmora {

const char* gameEndText(const GameRecord& game) {
    int outcome = 0;
    if (noLegalMove(game.position, &outcome)) {
        if (outcome > 0) return "1-0 {White mates}";
        if (outcome < 0) return "0-1 {Black mates}";
        return "1/2-1/2 {Stalemate}";
    }
    switch (game.claimableDraw()) {
        case REPETITION: return "1/2-1/2 {Draw by repetition}";
        case INSUFFICIENT_MATERIAL: return "1/2-1/2 {Insufficient material}";
        case DEAD_POSITION: return "1/2-1/2 {Dead position}";
        case FIFTY_MOVES: return "1/2-1/2 {Draw by 50 move rule}";
        default: return nullptr;
    }
}

}  // namespace zelmora
