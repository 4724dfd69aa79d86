#pragma once
// The engine core of one search thread: the game, the settings, the flags the control side
// writes, the search state and the figures the output channel reads.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "board/game_record.h"
#include "eval/evaluator.h"
#include "neural/network.h"
#include "search/engine_listener.h"
#include "search/move_change.h"
#include "search/move_picker.h"
#include "search/principal_variation.h"
#include "search/score.h"
#include "search/search_constants.h"
#include "util/platform.h"

namespace zelmora {

class GameScript;
class SearchLimits;
class TranspositionTable;


// What the search keeps for one ply of the current path.
struct PlyEntry {
    Move currentMove;
    Move bestMove;
    int movesSearched;
    int nullWindowCount;  // null-window nodes on the path from the root down to this node
    std::uint64_t key;
    std::int16_t extension;  // eighths of a ply given to the current move
    bool reduced;            // the current move is searched with a late-move reduction
    int staticEval;
    KillerSlots killers;
    UndoRecord undo;
    int captured;  // piece type taken by the current move, 0 for none

    void reset();
};

struct RootMove {
    Move move;
    int score;     // last completed search: exact for the best move, a bound for the others
    double share;  // a prior before the first iteration, then the nodes spent on the move
    bool raised;   // its score exceeded alpha in the last iteration
};

struct MultiPvEntry {
    Move move;
    int score;
};

class Engine {
public:
    static constexpr int FILE_NAME_SIZE = 512;

    Engine();
    // A worker of a multi-threaded search: it owns no table and searches the main engine's.
    Engine(TranspositionTable* sharedTable, int index);
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
    // Before each search a worker takes over the main engine's game, root filter and settings.
    void adoptStateOf(const Engine& main);

    GameRecord game;
    Evaluator evaluator;
    EngineListener* listener;
    SearchLimits* clock = nullptr;
    // Shared by all search threads; the main engine owns it.
    TranspositionTable* table = nullptr;
    std::unique_ptr<TranspositionTable> ownTable;
    // The games given on the command line, asked before the book (main engine only; not owned).
    GameScript* gameScript = nullptr;

    // Written by the control thread, polled by the search; relaxed byte stores suffice.
    std::atomic<bool> stop{false};
    std::atomic<bool> ponder{false};
    std::atomic<bool> continueIterating{false};
    // Set by the root search when a root move becomes the new best one, cleared at the start of
    // each iteration; once it is set the clock stops the search at the soft limit (a new best move
    // is already in hand). Only the engine's own search thread touches it.
    bool newBest = false;
    bool changedBack = false;  // this iteration's fail-high move fell back to the previous one

    bool ownBook = true;
    // These two and the time log name may be set while a search runs.
    std::atomic<bool> alwaysClearHash{false};
    std::atomic<int> resignThreshold{-7000};
    int multiPv = 1;
    int threadCount = 1;
    int threadIndex = 0;
    char bookFile[FILE_NAME_SIZE] = "Zelmora.opn";
    // The time log file ("" for none); a search reads the name it started with.
    void setLogFile(const char* name);
    std::string logFileName() const;

    // Progress and result of the current or last search.
    std::uint64_t nodes = 0;
    int iterationDepth = 0;  // the iteration counter: depth in plies minus one
    int selectiveDepth = 0;
    bool firstIteration = false;  // the first iteration is always reported
    PrincipalVariation pv;
    int lastScore = 0;
    int lastAlpha = -WINDOW_END;
    int lastBeta = WINDOW_END;
    // Read by ponderhit on the command thread while the search writes them.
    std::atomic<Move> pvMove{NO_MOVE};
    std::atomic<Move> ponderMove{NO_MOVE};
    bool moveFromBook = false;  // the last result came from the book or a followed game
    double changePercent = 20.0;  // chance in percent that the best move still changes
    Network moveChangeNetwork;

    // ---- The search itself. Public so that tests can drive single nodes. ----

    // The position being searched: a copy of the game position taken by think().
    Position position;
    int ply = -1;
    int lastNullPly = -1;
    int previousNullPly = -10;
    int rootAlpha = -WINDOW_END;
    int rootBeta = WINDOW_END;
    std::uint64_t nullMovesTried = 0;  // a statistic; tests watch it

    RootMove rootMoves[MAX_MOVES];
    int rootMoveCount = 0;
    MultiPvEntry multiPvList[MAX_MOVES];
    int multiPvCount = 0;

    // The entry of a ply; plies -2 and -1 exist as empty entries so that looking two plies up
    // from the root needs no test.
    PlyEntry& at(int p) { return plyStack_[p + 2]; }
    const PlyEntry& at(int p) const { return plyStack_[p + 2]; }

    // Copies the game position and resets the per-search state as think() does before its
    // iterations (without book, clock or table ageing).
    void prepareSearch();
    int search(int alpha, int beta, int depth);
    int quiesce(int alpha, int beta, int qdepth);
    // Remaining depth for the child of the current move of this ply's entry.
    // May raise the entry's extension (a capture into a pawn ending).
    int newDepth(PlyEntry& entry, int depth) const;
    bool mateInOne(Move& move);
    bool threatTest(int margin) const;
    bool transpositionLookahead(int beta, int depth, MoveGenerator& generator, BusyMoveSet* busy,
                                int reducedDepth);
    void shortenNullWindowCounts(int count);
    int rootSearch(int depth);
    // The root moves in generation order, filtered by the root filter.
    void buildRootMoves();
    void orderRootMoves();
    // The line from the PV move through the table into out; returns the ponder move.
    Move extractPv(Move first, PrincipalVariation& out);

private:
    int searchNode(int alpha, int beta, int depth);
    int quiesceNode(int alpha, int beta, int qdepth);
    // The pawn-push and check extensions of the move just made at this ply.
    int pawnAndCheckExtension(const PlyEntry& entry, int depth, bool givesCheck, bool atRoot) const;
    // Squares the side to move attacks, free of its own pieces, of every pawn attack and of its
    // king's neighbourhood: room enough to pass.
    int nullMoveMobility() const;
    Bitboard deltaPruneTargets(int eval, int alpha, int& futilityBest);
    bool isPathRepetition(std::uint64_t key, int fromPly) const;
    bool filterAllows(Move m) const;
    void pvReport(int score, int alpha, int beta);
    void reportMultiPv();
    void sortMultiPv();
    Move lookUpPonderMove(Move first);
    Move bookOrGameMove();
    void runIterations();
    void logMoveChange(int score);

    NullListener nullListener_;
    PlyEntry plyStack_[MAX_PLY + 3];
    MoveGenerator generators_[MAX_PLY + 1];
    MoveEntry moveBuffer_[MAX_PLY + 1][MAX_MOVES];
    HistoryTable history_[2];  // by side to move
    PrincipalVariation iterationPv_[2];  // the last two iterations' lines, alternating
    int iterationPvIndex_ = 0;
    char timeLogText_[MOVE_CHANGE_LOG_SIZE] = "";  // the last prediction, waiting for its outcome
    mutable Lock logFileLock_;
    char logFile_[FILE_NAME_SIZE] = "";
    char searchLogFile_[FILE_NAME_SIZE] = "";  // this search's copy of logFile_
    std::string rootFilter_;
    bool rootFilterSet_ = false;
    bool rootFilterExclude_ = false;
    bool rootFiltered_ = false;  // the root moves were cut down by the filter
};

}  // namespace zelmora
