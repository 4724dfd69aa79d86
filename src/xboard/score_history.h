#pragma once
// The engine's last root scores, from which it decides to resign or to offer a draw.

namespace zelmora {

class ScoreHistory {
public:
    static constexpr int KEPT = 4;

    void clear();
    // Before the engine's move: counts the move, records the score (only when the root had a
    // choice) and answers whether to offer a draw. whiteMoves names the side the engine plays;
    // halfMoves is the length of the game so far.
    bool recordMove(bool whiteMoves, int score, bool rootHadChoice, int halfMoves);
    // After the move: four scores at or below the threshold that do not improve.
    bool shouldResign(int threshold) const;

    void opponentOffersDraw() { drawOffered_ = true; }
    void clearDrawOffer() { drawOffered_ = false; }
    int count() const { return count_; }

private:
    int scores_[KEPT] = {};  // newest first
    int count_ = 0;
    int moveCounter_ = 0;
    bool whiteSide_ = true;
    bool drawOffered_ = false;
};

}  // namespace zelmora
