#include "xboard/score_history.h"

namespace zelmora {

namespace {

// A quiet stretch of this many moves lets the engine offer a draw without being asked.
constexpr int MOVES_BEFORE_OWN_OFFER = 20;

}  // namespace

void ScoreHistory::clear() {
    count_ = 0;
    moveCounter_ = 0;
    drawOffered_ = false;
}

bool ScoreHistory::recordMove(bool whiteMoves, int score, bool rootHadChoice, int halfMoves) {
    if (whiteMoves != whiteSide_) {
        count_ = 0;
        moveCounter_ = 0;
        whiteSide_ = whiteMoves;
    }
    ++moveCounter_;
    // An offer late in the game is judged as if the quiet stretch had already been long.
    if (drawOffered_ && moveCounter_ < halfMoves / 6) moveCounter_ = halfMoves / 6;
    if (rootHadChoice) {
        for (int i = KEPT - 1; i > 0; --i) scores_[i] = scores_[i - 1];
        scores_[0] = score;
        if (count_ < KEPT) ++count_;
    }
    if ((moveCounter_ <= MOVES_BEFORE_OWN_OFFER && !drawOffered_) || count_ < KEPT) return false;
    // Asked for a draw, the engine takes it unless it is winning; otherwise only a dead level score will do.
    const int bound = drawOffered_ ? -500000 : -1;
    drawOffered_ = false;
    for (int i = 0; i < 3; ++i) {
        if (scores_[i] < bound || scores_[i] > 1) return false;
    }
    moveCounter_ = 0;
    return true;
}

bool ScoreHistory::shouldResign(int threshold) const {
    if (count_ < KEPT) return false;
    for (int i = 0; i < KEPT; ++i) {
        if (scores_[i] > threshold) return false;
    }
    return scores_[0] <= scores_[1];
}

}  // namespace zelmora
