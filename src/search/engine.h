#pragma once
// One search thread: its copy of the position, the ply stack, move buffers, history and killers,
// evaluation caches and counters, and the searches themselves (iterative deepening, root, node,
// quiescence). Everything the threads share comes through the SharedSearch.

#include <atomic>
#include <cstdint>

#include "board/game_record.h"
#include "eval/evaluator.h"
#include "neural/network.h"
#include "search/move_change.h"
#include "search/move_generator.h"
#include "search/principal_variation.h"
#include "search/score.h"
#include "search/search_constants.h"
#include "search/shared_search.h"

namespace zelmora {

class SearchLimits;

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
    // Thread index 0 is the main thread: it reports, watches the clock and decides the iterations.
    explicit Engine(SharedSearch& shared, int threadIndex = 0);
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Iterative deepening on the shared game's position; true when it ended without being
    // stopped. The result is pvMove / ponderMove (empty when none). It is beginSearch(), a new
    // table generation (main thread) and iterate(): between them the control side may answer
    // from the book instead.
    bool think();
    // Resets the results, copies the root position and builds the root moves.
    void beginSearch();
    // The iterations, then a wait while the search is a ponder search.
    bool iterate();
    // A move found without searching (book, followed game) becomes the result.
    void playKnownMove(Move move);
    // The root moves of the shared game's position, filtered by the search's root filter.
    void buildRootMoves();
    // The line from first through the table into out; returns the ponder move.
    Move extractPv(Move first, PrincipalVariation& out);

    const SharedSearch& shared() const { return shared_; }
    const SearchSettings& settings() const { return shared_.settings; }
    // Used slots of the transposition table per thousand.
    int hashFull() const;

    Evaluator evaluator;
    Network moveChangeNetwork;
    SearchLimits* clock = nullptr;  // the main thread's game clock, or a plain clock for the others
    const int threadIndex;

    // Progress and result of the current or last search, read by the output channel.
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
    double changePercent = INITIAL_CHANGE_PERCENT;  // chance in percent that the best move still changes
    RootMove rootMoves[MAX_MOVES];
    int rootMoveCount = 0;

    // ---- The searches below the root, driven directly by the tests ----

    // The position being searched: a copy of the game position.
    Position position;
    int ply = -1;
    int rootAlpha = -WINDOW_END;
    int rootBeta = WINDOW_END;
    std::uint64_t nullMovesTried = 0;  // a statistic; tests watch it
    // Set by the root search when a root move becomes the new best one, cleared at the start of
    // each iteration; with a new best move in hand the clock may end the search at the soft limit.
    bool newBest = false;

    // The entry of a ply; plies -2 and -1 exist as empty entries so that looking two plies up
    // from the root needs no test.
    PlyEntry& at(int p) { return plyStack_[p + 2]; }
    const PlyEntry& at(int p) const { return plyStack_[p + 2]; }

    // Copies the game position and resets the per-search state as think() does before its
    // iterations (without clock or table ageing).
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
    void prefetchSuccessors(const MoveEntry* moves, int count) const;
    int rootSearch(int depth);
    void orderRootMoves();

    // The plies of the most recent null move on the path and of the one before it.
    struct NullMovePath {
        int last = -1;
        int previous = -10;
    };
    NullMovePath& nullMovePath() { return nulls_; }

private:

    bool stopped() const { return shared_.stop.load(std::memory_order_relaxed); }
    bool pondering() const { return shared_.ponder.load(std::memory_order_relaxed); }
    // Plies from the most recent (or the one-before-most-recent) null move down to this node:
    // 1 means the parent's move was a null move.
    int pliesSinceNull() const { return ply - nulls_.last; }
    int pliesSincePreviousNull() const { return ply - nulls_.previous; }
    void resetSearchState();

    // The start every node shares: a mate in one found by pattern ends it at once (true, with the
    // score); otherwise the node's key and null-window count go into its ply entry.
    bool matesInOne(PlyEntry& entry, bool inCheck, int& score);
    void enterPath(PlyEntry& entry, int alpha, int beta);
    int searchNode(int alpha, int beta, int depth);
    int quiesceNode(int alpha, int beta, int qdepth);
    // The pawn-push and check extensions of the move just made at this ply.
    int pawnAndCheckExtension(const PlyEntry& entry, int depth, bool givesCheck, bool atRoot) const;
    // Squares the side to move attacks, free of its own pieces, of every pawn attack and of its
    // king's neighbourhood: room enough to pass.
    int nullMoveMobility() const;
    // Tries the null move where it is allowed; true (with the score) when that settles the node.
    // A mate threat it reveals raises the extension and marks the node for the table.
    bool nullMoveSettles(int alpha, int beta, int depth, Bitboard freeSliders, int& extension, bool& marked,
                         int& score);
    Bitboard deltaPruneTargets(int eval, int alpha, int& futilityBest);
    bool isPathRepetition(std::uint64_t key, int fromPly) const;
    bool filterAllows(Move m) const;
    void pvReport(int score, int alpha, int beta);
    void reportMultiPv();
    void sortMultiPv();
    Move lookUpPonderMove(Move first);
    void runIterations();
    void logMoveChange(int score);

    SharedSearch& shared_;
    TranspositionTable& table_;
    NullMovePath nulls_;
    bool changedBack_ = false;  // this iteration's fail-high move fell back to the previous one
    MultiPvEntry multiPvList_[MAX_MOVES];
    int multiPvCount_ = 0;
    PlyEntry plyStack_[MAX_PLY + 3];
    MoveGenerator generators_[MAX_PLY + 1];
    MoveEntry moveBuffer_[MAX_PLY + 1][MAX_MOVES];
    HistoryTable history_[2];  // by side to move
    PrincipalVariation iterationPv_[2];  // the last two iterations' lines, alternating
    int iterationPvIndex_ = 0;
    char timeLogText_[MOVE_CHANGE_LOG_SIZE] = "";  // the last prediction, waiting for its outcome
};

}  // namespace zelmora
