#pragma once
// Shared helpers for the search tests: an engine on a FEN, a depth-limited clock and a
// listener that keeps every report.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "board/movegen.h"
#include "board/notation.h"
#include "control/time_budget.h"
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

inline Position fromFen(const std::string& fen) {
    Position pos;
    EXPECT_NE(pos.setFen(fen.c_str()), nullptr) << fen;
    return pos;
}

inline Move parseMove(const Position& pos, const char* text) {
    Move m = NO_MOVE;
    EXPECT_TRUE(textToMove(pos, text, m, true)) << text;
    return m;
}

inline std::string text(const Position& pos, Move m) {
    char buffer[32];
    return moveToText(pos, m, MoveStyle::COORDINATE, buffer);
}

// The same position with colours exchanged and the board turned upside down.
inline std::string mirrorFen(const std::string& fen) {
    std::istringstream in(fen);
    std::string board, side, castling, ep, counters, rank, out;
    in >> board >> side >> castling >> ep;
    std::getline(in, counters);
    for (std::istringstream ranks(board); std::getline(ranks, rank, '/');) out = rank + (out.empty() ? "" : "/") + out;
    for (std::string* text : {&out, &castling})
        for (char& c : *text)
            if (std::isalpha(static_cast<unsigned char>(c))) c = char(c ^ 0x20);
    if (ep.size() == 2) ep[1] = char('1' + '8' - ep[1]);
    return out + (side == "w" ? " b " : " w ") + castling + ' ' + ep + counters;
}

inline std::vector<Move> legalMoves(const Position& pos) {
    MoveEntry list[MAX_MOVES];
    std::vector<Move> moves;
    for (int i = 0, n = generateMoves(pos, list); i < n; ++i) {
        Position copy = pos;
        UndoRecord undo;
        if (copy.makeLegal(list[i].move, undo)) moves.push_back(list[i].move);
    }
    return moves;
}

inline Move randomMove(const Position& pos, std::mt19937& random) {
    const std::vector<Move> moves = legalMoves(pos);
    return moves.empty() ? NO_MOVE : moves[random() % moves.size()];
}

// Plays the line from the position; false when a move is not legal there.
inline bool playLine(Position& pos, const std::vector<Move>& line) {
    for (Move m : line) {
        const std::vector<Move> legal = legalMoves(pos);
        UndoRecord undo;
        if (std::find(legal.begin(), legal.end(), m) == legal.end() || !pos.makeLegal(m, undo)) return false;
    }
    return true;
}

}  // namespace zelmora::test
