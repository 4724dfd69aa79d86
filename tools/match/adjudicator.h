#pragma once
// Ends hopeless or dead-drawn games early from the scores both engines report.

#include <optional>
#include <vector>

namespace zelmora::match {

struct AdjudicationRules {
    // Win: both engines agree that one side is ahead by at least winScore centipawns, on each
    // engine's last winMoves moves. 0 moves: off.
    int winScore = 0;
    int winMoves = 0;
    // Draw: from move number drawAfterMove on, both engines' last drawMoves scores are within
    // drawScore of zero. 0 moves: off.
    int drawAfterMove = 0;
    int drawScore = 0;
    int drawMoves = 0;
};

class Adjudicator {
public:
    explicit Adjudicator(const AdjudicationRules& rules = {}) : rules_(rules) {}

    void reset();
    // The score an engine reported for its move (its own point of view), or nothing when it
    // reported none; moveNumber is the full move number of that move.
    void record(bool white, std::optional<int> score, int moveNumber);
    // +1 White wins, -1 Black wins, 0 draw, nothing: play on.
    std::optional<int> verdict() const;

private:
    AdjudicationRules rules_;
    std::vector<std::optional<int>> whiteView_[2];  // scores from White's side, per mover colour
    int moveNumber_ = 0;
};

}  // namespace zelmora::match
