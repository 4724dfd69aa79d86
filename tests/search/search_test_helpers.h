#pragma once
// Shared helpers for the search tests: an engine on a FEN, a depth-limited clock and a
// listener that keeps every report.

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "board/movegen.h"
#include "board/notation.h"
#include "control/time_limits.h"
#include "search/engine.h"
#include "search/transposition_table.h"

namespace zelmora::test {

struct PvReport {
    int score, alpha, beta;
    int iteration;
    Move pvMove;
    std::vector<Move> line;
};

struct MultiPvReport {
    int iteration, lineNumber, score;
    std::vector<Move> line;
};

class RecordingListener : public EngineListener {
public:
    std::vector<PvReport> pvLines;
    std::vector<MultiPvReport> multiPvLines;
    int currMoves = 0;

    void pvLine(const Engine& engine, int score, int alpha, int beta) override {
        pvLines.push_back({score, alpha, beta, engine.iterationDepth, engine.pvMove,
                           std::vector<Move>(engine.pv.moves, engine.pv.moves + engine.pv.length)});
    }
    void currMove(Move, int) override { ++currMoves; }
    void multiPvLine(const Engine& engine, int lineNumber, const PrincipalVariation& pv, int score, int, int) override {
        multiPvLines.push_back({engine.iterationDepth, lineNumber, score, std::vector<Move>(pv.moves, pv.moves + pv.length)});
    }
};

// An engine with its own table, a clock limited by depth and a recording listener.
struct SearchRig {
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    TimeLimits clock;
    RecordingListener listener;

    explicit SearchRig(const char* fen = nullptr) {
        engine->clock = &clock;
        engine->setListener(&listener);
        if (fen != nullptr) { EXPECT_TRUE(engine->game.setFen(fen)) << fen; }
    }

    // Iterations up to the given depth in plies.
    bool think(int plies) {
        GoParameters go;
        go.depth = plies;
        clock.setBudget(go, false);
        clock.start();
        engine->stop = false;
        return engine->think();
    }

    Move move(const char* text) const {
        Move m = NO_MOVE;
        EXPECT_TRUE(textToMove(engine->game.position, text, m, true)) << text;
        return m;
    }
};

inline std::string text(const Position& pos, Move m) {
    char buffer[32];
    return moveToText(pos, m, MoveStyle::COORDINATE, buffer);
}

// The same position with colours exchanged and the board turned upside down.
inline std::string mirrorFen(const std::string& fen) {
    std::string board = fen.substr(0, fen.find(' '));
    std::vector<std::string> rows;
    for (std::size_t start = 0;;) {
        const std::size_t slash = board.find('/', start);
        rows.push_back(board.substr(start, slash - start));
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    std::string out;
    for (auto r = rows.rbegin(); r != rows.rend(); ++r) {
        if (!out.empty()) out += '/';
        for (char c : *r) out += std::isalpha(static_cast<unsigned char>(c)) ? char(c ^ 0x20) : c;
    }
    std::string rest = fen.substr(fen.find(' ') + 1);
    const char side = rest[0] == 'w' ? 'b' : 'w';
    rest = rest.substr(2);
    const std::string castling = rest.substr(0, rest.find(' '));
    rest = rest.substr(rest.find(' ') + 1);
    std::string mirroredCastling;
    for (char c : castling) mirroredCastling += c == '-' ? c : char(c ^ 0x20);
    std::string ep = rest.substr(0, rest.find(' '));
    if (ep != "-") ep[1] = char('1' + '8' - ep[1]);
    const std::string counters = rest.find(' ') == std::string::npos ? "" : rest.substr(rest.find(' '));
    return out + ' ' + side + ' ' + mirroredCastling + ' ' + ep + counters;
}

// Plays the line from the position; false when a move is not legal there.
inline bool playLine(Position& pos, const std::vector<Move>& line) {
    for (Move m : line) {
        MoveEntry list[MAX_MOVES];
        const int n = generateMoves(pos, list);
        bool found = false;
        for (int i = 0; i < n && !found; ++i) found = list[i].move == m;
        UndoRecord undo;
        if (!found || !pos.makeLegal(m, undo)) return false;
    }
    return true;
}

}  // namespace zelmora::test
