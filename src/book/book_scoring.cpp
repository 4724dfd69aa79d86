// The scoring walk: a negamax over the statistics that gives every move played often enough a
// value (log-odds of its score, backed up from the replies) and a weight from 0 to 99.

#include <algorithm>
#include <cmath>

#include "book/book_builder.h"

namespace zelmora {

namespace {

constexpr float ON_PATH_VALUE = -0.05f;  // a repetition is a little worse than even for the side to move
constexpr float BEST_START = -9999.9f;
constexpr float RARE_PENALTY = 99.0f;
constexpr float ALREADY_SCORED = -1000.0f;
// Paths through the statistics are short (games count 37 plies); a bound keeps a constructed
// collection of endless transpositions from exhausting the stack.
constexpr std::size_t MAX_PATH = 2000;

float logOdds(double white, double black, bool blackToMove) {
    if (white <= 0 || black <= 0) return 0.0f;
    const float v = float(std::log(white / black));
    return blackToMove ? -v : v;
}

}  // namespace

float BookBuilder::scoreBookTree(Position& position, std::int64_t countLimit, double logWidth) {
    const std::uint64_t key = position.key();
    if (path.count(key) != 0 || path.size() >= MAX_PATH) return ON_PATH_VALUE;
    path.insert(key);
    std::vector<MoveStats>& list = positions[key];
    const bool blackToMove = !position.whiteToMove();
    std::uint32_t totalWhite = 0, totalBlack = 0;
    for (const MoveStats& e : list) {
        totalWhite += e.whitePoints;
        totalBlack += e.blackPoints;
    }

    int count = 0;
    std::uint32_t mostPlayed = 0;
    for (MoveStats& e : list) {
        const std::uint32_t n = e.whitePoints + e.blackPoints;
        if (std::int64_t(n) <= countLimit) {
            e.written = true;  // too rare: never written, never explored
            continue;
        }
        float v = logOdds(e.whitePoints, e.blackPoints, blackToMove);
        UndoRecord undo;
        position.makeLegal(e.move, undo);
        if (positions.count(position.key()) != 0) {
            // A value from another path to the same move is reused.
            v = e.value > ALREADY_SCORED ? e.value : -scoreBookTree(position, countLimit, logWidth);
        }
        position.unmake(undo);
        e.value = v;
        ++count;
        mostPlayed = std::max(mostPlayed, n);
    }
    path.erase(key);

    float best = BEST_START;
    for (MoveStats& e : list) {
        // A move played less than a sixth as often as the favourite is practically excluded.
        if (6 * (e.whitePoints + e.blackPoints) < mostPlayed) e.value -= RARE_PENALTY;
        if (!e.written && e.value > best) best = e.value;
    }
    if (count == 0) return logOdds(totalWhite, totalBlack, blackToMove);

    std::uint32_t bestWhite = 0, bestBlack = 0;
    for (MoveStats& e : list) {
        if (e.written || e.value < best) continue;
        if (count == 1) {
            e.weight = 99;
            return e.value;
        }
        bestWhite += e.whitePoints;
        bestBlack += e.blackPoints;
    }
    // The best moves' games count twice in the position's own value.
    totalWhite += bestWhite;
    totalBlack += bestBlack;

    for (MoveStats& e : list) {
        if (e.written) {
            e.weight = 0;
        } else if (e.value >= best) {
            e.weight = 99;
        } else {
            // Moves more than the log width below the best get nothing; an odd width (zero or
            // negative) must not produce a weight outside 0..99.
            const double x = (double(e.value) + logWidth - double(best)) / logWidth * 99.0;
            e.weight = x >= 1.0 ? int(std::min(x, 99.0)) : 0;
        }
    }
    std::stable_sort(list.begin(), list.end(), [](const MoveStats& x, const MoveStats& y) { return x.value > y.value; });
    return logOdds(totalWhite, totalBlack, blackToMove);
}

}  // namespace zelmora
