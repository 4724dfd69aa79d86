// libFuzzer target: any text as a move in a few rich positions; an accepted move must be legal.

#include <cstdint>
#include <string>

#include "board/movegen.h"
#include "board/notation.h"

using namespace zelmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const FENS[] = {
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
        "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ -",
        "4k3/8/8/3pP3/8/8/8/4K3 w - d6",
        "1r2k1r1/8/8/8/8/8/8/1R2K1R1 w GBgb -",
    };
    initBoardTables();
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char* fen : FENS) {
        Position pos;
        pos.setFen(fen);
        for (bool coordinate : {false, true}) {
            Move m = NO_MOVE;
            if (!textToMove(pos, text.c_str(), m, coordinate)) continue;
            Position after = pos;
            UndoRecord undo;
            if (!after.makeLegal(m, undo)) __builtin_trap();
            char out[32];
            moveToText(pos, m, MoveStyle::GERMAN, out);
        }
    }
    return 0;
}
