// libFuzzer target: any text as a FEN. Accepted positions must be whole: they write back to
// the same FEN, and every generated move survives make, unmake and the notation round trip.

#include <cstdint>
#include <cstring>
#include <string>

#include "board/game_record.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/perft.h"

using namespace zelmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    initBoardTables();
    const std::string text(reinterpret_cast<const char*>(data), size);
    GameRecord game;
    if (!game.setFen(text.c_str())) return 0;
    char fen[128], again[128];
    Position copy;
    if (!copy.setFen(game.position.writeFen(fen)) || std::strcmp(copy.writeFen(again), fen) != 0) __builtin_trap();
    Position& pos = game.position;
    MoveEntry list[MAX_MOVES];
    const int n = generateMoves(pos, list);
    std::uint64_t legal = 0;
    for (int i = 0; i < n; ++i) {
        UndoRecord undo;
        char move[32];
        moveToText(pos, list[i].move, MoveStyle::COORDINATE, move);
        if (!pos.makeLegal(list[i].move, undo)) continue;
        ++legal;
        pos.unmake(undo);
        Move parsed = NO_MOVE;
        if (!textToMove(pos, move, parsed, true) || parsed != list[i].move) __builtin_trap();
    }
    if (perft(pos, 1) != legal) __builtin_trap();
    perft(pos, 2);
    return 0;
}
