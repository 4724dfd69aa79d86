#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "control/search_control.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/perft.h"
#include "control/engine_output.h"
#include "control/session.h"
#include "options/option_table.h"
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

// The number after a keyword ("depth %d"), saturated to the int range; false without one.
bool numberAfter(const char* arguments, const char* keyword, int& value) {
    const char* found = std::strstr(arguments, keyword);
    std::int64_t number = 0;
    if (found == nullptr || !readInteger(found + std::strlen(keyword), number)) return false;
    value = static_cast<int>(std::clamp<std::int64_t>(number, INT_MIN, INT_MAX));
    return true;
}

enum class PerftParse { OK, NO_DEPTH, DEPTH_TOO_LARGE };

PerftParse parsePerft(const char* arguments, PerftRequest& request) {
    if (!numberAfter(arguments, "depth", request.depth)) return PerftParse::NO_DEPTH;
    if (request.depth > MAX_PERFT_DEPTH) return PerftParse::DEPTH_TOO_LARGE;
    if (!numberAfter(arguments, "Hash", request.hashMb)) request.hashMb = 0;
    // Same ceiling as the Hash option; a table the machine cannot hold must not end the program.
    request.hashMb = std::clamp(request.hashMb, 0, optionSpec(OptionId::Hash).max);
    request.divide = std::strstr(arguments, "divide") != nullptr;
    return PerftParse::OK;
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
    control_->stopSilently();
    PerftRequest request;
    switch (parsePerft(skipWord(skipWhite(line)), request)) {
        case PerftParse::NO_DEPTH: output_->debugMessage("perft ohne depth", line); return;
        case PerftParse::DEPTH_TOO_LARGE: output_->debugMessage("Unzul\xE4ssiger Wert f\xFCr 'depth'", line); return;
        case PerftParse::OK: break;
    }
    Position pos = session_->game.position;
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
