#pragma once
// The moves of one node in the order they are to be tried: the hash move, recaptures and
// en-passant captures, then the rest best-scored first. Killers and history feed the scores.

#include <cstdint>

#include "board/movegen.h"
#include "search/history.h"

namespace zelmora {

class BusyMoveSet;

class MoveGenerator {
public:
    // Generates all moves of the node into buffer (MAX_MOVES entries): evasions in check, else all
    // moves, or with quiescence captures and promotions plus quiet checks when quiescenceChecks.
    // Returns the number of moves generated.
    int init(MoveEntry* buffer, const Position& pos, HistoryTable& history, bool quiescence, bool quiescenceChecks,
             const KillerGroup& killers, BusyMoveSet* busy, Move hashMove);
    // The next move to try, or nullptr when none is left.
    MoveEntry* next();
    // Back to the freshly initialised state with all moves (keeps a hash move written meanwhile).
    void rewind();
    // Moves handed out now come from the scored stage: late moves for the reductions.
    bool late() const { return stage_ == 4; }

    Move hashMove = NO_MOVE;

private:
    MoveEntry* take(MoveEntry* record);
    void scoreAll();

    int stage_ = 0;
    // Active records lie in [begin_, end_); handed-out ones are swapped behind end_, up to fullEnd_.
    MoveEntry* begin_ = nullptr;
    MoveEntry* cursor_ = nullptr;
    MoveEntry* end_ = nullptr;
    MoveEntry* fullEnd_ = nullptr;
    const Position* pos_ = nullptr;
    HistoryTable* history_ = nullptr;
    BusyMoveSet* busy_ = nullptr;
    std::uint32_t keyLow_ = 0;
    Move killer1_ = NO_MOVE;
    Move killer2_ = NO_MOVE;
    Square target_ = NO_SQUARE;
    Square epSquare_ = NO_SQUARE;
};

}  // namespace zelmora
