#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "control/search_control.h"
#include "control/session.h"
#include "uci/uci_protocol.h"
#include "util/text.h"

namespace zelmora {

namespace {

// The text behind a keyword and the one separating character, or the line's end.
const char* afterKeyword(const char* keyword, std::size_t length) {
    const char* p = keyword + length;
    return *p != '\0' ? p + 1 : p;
}

// The number behind a keyword anywhere in the line, read from one character after it; 0 when the
// keyword is missing or no number follows (then read, if given, is false).
std::int64_t numberAfter(const char* line, const char* keyword, bool* read = nullptr) {
    const char* found = std::strstr(line, keyword);
    std::int64_t value = 0;
    const bool ok = found != nullptr && readInteger(afterKeyword(found, std::strlen(keyword)), value);
    if (read != nullptr) *read = ok;
    return ok ? value : 0;
}

// "keyword %d": white space may follow the keyword directly.
int countAfter(const char* line, const char* keyword) {
    const char* found = std::strstr(line, keyword);
    std::int64_t value = 0;
    if (found != nullptr && !readInteger(found + std::strlen(keyword), value)) value = 0;
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

}  // namespace

void UciProtocol::go(const char* line) {
    // A search still running reads the root filter and the game: it ends, silently, first.
    control_->stopSilently();
    RootFilter& filter = session_->rootFilter;
    filter = RootFilter{};
    if (const char* moves = std::strstr(line, "searchmoves")) {
        filter = RootFilter{true, false, afterKeyword(moves, 11)};
    } else if ((moves = std::strstr(line, "excludemoves")) != nullptr) {
        filter = RootFilter{true, true, afterKeyword(moves, 12)};
    }
    const bool ponder = std::strstr(line, "ponder") != nullptr;
    const bool white = session_->game.position.sideToMove() == WHITE;

    GoParameters parameters;
    parameters.time = numberAfter(line, white ? "wtime" : "btime", &parameters.clockGiven);
    parameters.increment = numberAfter(line, white ? "winc" : "binc");
    parameters.movesToGo = countAfter(line, "movestogo");
    parameters.depth = countAfter(line, "depth");
    parameters.mate = countAfter(line, "mate");
    parameters.nodes = numberAfter(line, "nodes");
    parameters.moveTime = numberAfter(line, "movetime");
    const bool infinite = std::strstr(line, "infinite") != nullptr;
    control_->go(parameters, ponder, infinite);
}

void UciProtocol::ponderhit(const char*) { control_->ponderhit(); }

}  // namespace zelmora
