#include <algorithm>
#include <cstdio>
#include <cstring>

#include "board/movegen.h"
#include "board/notation.h"
#include "board/perft.h"
#include "search/engine.h"
#include "uci/engine_output.h"
#include "uci/uci_protocol.h"
#include "util/platform.h"
#include "util/text.h"

namespace zelmora {

namespace {

struct PerftRequest {
    int depth = 0;
    int hashMb = 0;
    bool divide = false;
};

bool parsePerft(const char* arguments, PerftRequest& request) {
    const char* depth = std::strstr(arguments, "depth");
    if (depth == nullptr || std::sscanf(depth, "depth %d", &request.depth) != 1) return false;
    if (const char* hash = std::strstr(arguments, "Hash")) {
        if (std::sscanf(hash, "Hash %d", &request.hashMb) != 1) request.hashMb = 0;
    }
    // Same ceiling as the Hash option; a table the machine cannot hold must not end the program.
    request.hashMb = std::clamp(request.hashMb, 0, UciProtocol::MAX_HASH_MB);
    request.divide = std::strstr(arguments, "divide") != nullptr;
    return true;
}

std::uint64_t count(Position& pos, int depth, PerftTable& table) {
    return perft(pos, depth, table.size() != 0 ? &table : nullptr);
}

void printCount(EngineOutput& output, const char* move, int depth, std::int64_t milliseconds,
                std::uint64_t nodes) {
    LineBuffer line;
    line.append("info");
    if (move != nullptr) line.appendf(" move %s", move);
    line.appendf(" depth %d time %16.0f nodes %16.0f", depth, static_cast<double>(milliseconds),
                 static_cast<double>(nodes));
    line.squeeze();
    output.printLine(line.text());
}

}  // namespace

void UciProtocol::perft(const char* line) {
    stopSilently();
    PerftRequest request;
    if (!parsePerft(skipWord(skipWhite(line)), request)) {
        output_->debugMessage("perft ohne depth", line);
        return;
    }
    Position pos = engine_->game.position;
    if (!request.divide) {
        PerftTable table(request.hashMb);
        std::int64_t start = systemMilliseconds();
        std::uint64_t nodes = count(pos, request.depth, table);
        printCount(*output_, nullptr, request.depth, systemMilliseconds() - start, nodes);
        return;
    }
    MoveEntry moves[MAX_MOVES];
    int moveCount = generateMoves(pos, moves);
    for (int i = 0; i < moveCount; ++i) {
        char text[16];
        moveToText(pos, moves[i].move, MoveStyle::COORDINATE, text);
        UndoRecord undo;
        if (!pos.makeLegal(moves[i].move, undo)) continue;
        PerftTable table(request.hashMb);
        std::int64_t start = systemMilliseconds();
        std::uint64_t nodes = count(pos, request.depth - 1, table);
        printCount(*output_, text, request.depth - 1, systemMilliseconds() - start, nodes);
        pos.unmake(undo);
    }
}

}  // namespace zelmora
