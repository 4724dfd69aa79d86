#include "match/adjudicator.h"

#include <cstdlib>

namespace zelmora::match {

void Adjudicator::reset() {
    whiteView_[0].clear();
    whiteView_[1].clear();
    moveNumber_ = 0;
}

void Adjudicator::record(bool white, std::optional<int> score, int moveNumber) {
    if (score && !white) score = -*score;
    whiteView_[white ? 0 : 1].push_back(score);
    moveNumber_ = moveNumber;
}

std::optional<int> Adjudicator::verdict() const {
    // True when both sides' last n scores exist and all pass the test.
    auto lastAll = [this](int n, auto test) {
        if (n <= 0) return false;
        for (const auto& scores : whiteView_) {
            if (int(scores.size()) < n) return false;
            for (auto it = scores.end() - n; it != scores.end(); ++it)
                if (!*it || !test(**it)) return false;
        }
        return true;
    };
    if (rules_.winMoves > 0) {
        if (lastAll(rules_.winMoves, [this](int s) { return s >= rules_.winScore; })) return 1;
        if (lastAll(rules_.winMoves, [this](int s) { return s <= -rules_.winScore; })) return -1;
    }
    if (rules_.drawMoves > 0 && moveNumber_ >= rules_.drawAfterMove &&
        lastAll(rules_.drawMoves, [this](int s) { return std::abs(s) <= rules_.drawScore; }))
        return 0;
    return std::nullopt;
}

}  // namespace zelmora::match
