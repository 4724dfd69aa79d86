// Prints positions from seeded random walks (standard and Chess960 starts), one FEN a line:
// material for perft cross-checks against another engine.
// Usage: zelmora-random-positions [count] [seed]

#include <cstdio>
#include <cstdlib>
#include <random>

#include "board/game_record.h"
#include "board/movegen.h"

using namespace zelmora;

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    std::mt19937_64 rng(argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1);
    initBoardTables();
    for (int printed = 0; printed < count;) {
        GameRecord game;
        if (rng() % 2) game.setChess960(unsigned(rng() % 960));
        const int plies = int(rng() % 120) + 1;
        for (int ply = 0; ply < plies; ++ply) {
            MoveEntry list[MAX_MOVES];
            const int n = generateMoves(game.position, list);
            Move legal[MAX_MOVES];
            int legalCount = 0;
            for (int i = 0; i < n; ++i) {
                Position copy = game.position;
                UndoRecord undo;
                if (copy.makeFast(list[i].move, undo)) legal[legalCount++] = list[i].move;
            }
            if (!legalCount) break;
            game.playMove(legal[rng() % legalCount]);
        }
        char fen[128];
        std::printf("%s\n", game.getFen(fen));
        ++printed;
    }
    return 0;
}
