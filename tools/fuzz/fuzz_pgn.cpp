// libFuzzer target: any bytes as a PGN file, read game by game as "book add" reads it, and every
// accepted game fed to the book statistics. Accepted moves must be legal from the game's start.

#include <cstdint>
#include <cstdio>
#include <vector>

#include "board/attacks.h"
#include "board/position.h"
#include "book/book_builder.h"
#include "pgn/pgn_reader.h"

using namespace zelmora;

namespace {

// Plays the moves again from the game's start, as every user of the reader does: the reader must
// never hand out a move that is not legal there. Users skip games with a FEN they cannot read.
bool replays(const PgnGame& game) {
    Position position;
    if (!game.fen.empty() && position.setFen(game.fen.c_str()) == nullptr) return true;
    for (Move move : game.moves) {
        UndoRecord undo;
        if (!position.makeLegal(move, undo)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    initBoardTables();
    static BookBuilder builder;
    static std::FILE* sink = std::fopen("/dev/null", "w");
    std::vector<std::uint8_t> bytes(data, data + size);
    // fmemopen rejects an empty buffer; one blank byte reads the same as no file content.
    if (bytes.empty()) bytes.push_back(' ');
    std::FILE* stream = fmemopen(bytes.data(), bytes.size(), "r");
    PgnReader reader(stream, "fuzz.pgn", sink);
    PgnGame game;
    while (reader.nextGame(0, game)) {
        if (!replays(game)) __builtin_trap();
        builder.addGame(game.moves, game.fen.empty() ? nullptr : game.fen.c_str(), 1000, true,
                        game.result == WHITE_WINS ? 1 : game.result == BLACK_WINS ? -1 : 0);
    }
    builder.games.clear();
    builder.positions.clear();
    return 0;
}
