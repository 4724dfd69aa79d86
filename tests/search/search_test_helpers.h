#pragma once
// Shared helpers for the search tests: an engine on a FEN, a depth-limited clock and a
// listener that keeps every report.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "control/time_budget.h"
#include "search/engine.h"
#include "search/standalone_search.h"
#include "search/transposition_table.h"
#include "support/chess.h"

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
    void currMove(const Engine&, Move, int) override { ++currMoves; }
    void multiPvLine(const Engine& engine, int lineNumber, const PrincipalVariation& pv, int score, int, int) override {
        multiPvLines.push_back({engine.iterationDepth, lineNumber, score, std::vector<Move>(pv.moves, pv.moves + pv.length)});
    }
};

// An engine with its own table, a clock limited by depth and a recording listener.
struct SearchRig {
    std::unique_ptr<StandaloneSearch> search = std::make_unique<StandaloneSearch>();
    Engine* engine = &search->engine;
    SharedSearch& shared = search->shared;
    GameRecord& game = search->shared.game;
    TimeLimits clock;
    RecordingListener listener;

    explicit SearchRig(const char* fen = nullptr) {
        engine->clock = &clock;
        shared.setListener(&listener);
        if (fen != nullptr) { EXPECT_TRUE(game.setFen(fen)) << fen; }
    }

    // "searchmoves" (or with exclude "excludemoves") for the next search.
    void filterRoot(const char* moves, bool exclude) { shared.settings.rootFilter = RootFilter{true, exclude, moves}; }

    // Iterations up to the given depth in plies.
    bool think(int plies) {
        GoParameters go;
        go.depth = plies;
        clock.setBudget(go, false);
        clock.start();
        shared.stop = false;
        return engine->think();
    }

};

inline std::string text(const Position& pos, Move m) { return coordinate(pos, m); }

inline Move randomMove(const Position& pos, std::mt19937& random) {
    const std::vector<Move> moves = legalMoves(pos);
    return moves.empty() ? NO_MOVE : moves[random() % moves.size()];
}

}  // namespace zelmora::test
