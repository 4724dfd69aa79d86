#pragma once
// The engine core of one search thread: the game, the settings, the flags the control side
// writes and the figures the output channel reads.

#include <atomic>
#include <cstdint>

#include "board/game_record.h"
#include "eval/evaluator.h"
#include "search/engine_listener.h"
#include "search/principal_variation.h"
#include "search/score.h"

namespace zelmora {

class SearchLimits;
class TranspositionTable;

class Engine {
public:
    static constexpr int FILE_NAME_SIZE = 512;

    Engine();
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // A null listener puts back the built-in one that drops every report.
    void setListener(EngineListener* newListener);
    // Used slots of the transposition table per thousand.
    int hashFull() const;

    // The whole search of one "go" on the current game position; true when it ended without
    // being stopped. The result is pvMove / ponderMove (empty when none).
    bool think();
    // Restricts the root moves to those named in text (or all but those, with exclude) for the
    // next searches; nullptr lifts the restriction.
    void setRootFilter(const char* text, bool exclude);

    GameRecord game;
    Evaluator evaluator;
    EngineListener* listener;
    SearchLimits* clock = nullptr;
    // Shared by all search threads; the main engine owns it.
    TranspositionTable* table = nullptr;
    std::unique_ptr<TranspositionTable> ownTable;

    // Written by the control thread, polled by the search; relaxed byte stores suffice.
    std::atomic<bool> stop{false};
    std::atomic<bool> ponder{false};
    std::atomic<bool> continueIterating{false};

    bool ownBook = true;
    bool alwaysClearHash = false;
    int resignThreshold = -7000;
    int multiPv = 1;
    int threadCount = 1;
    int threadIndex = 0;
    char bookFile[FILE_NAME_SIZE] = "Zelmora.opn";
    char logFile[FILE_NAME_SIZE] = "";

    // Progress and result of the current or last search.
    std::uint64_t nodes = 0;
    int iterationDepth = 0;
    int selectiveDepth = 0;
    bool firstIteration = false;  // the first iteration is always reported
    PrincipalVariation pv;
    int lastScore = 0;
    int lastAlpha = -WINDOW_END;
    int lastBeta = WINDOW_END;
    Move pvMove = NO_MOVE;
    Move ponderMove = NO_MOVE;
    bool moveFromBook = false;  // the last result came from the book or a followed game

private:
    NullListener nullListener_;
};

}  // namespace zelmora
