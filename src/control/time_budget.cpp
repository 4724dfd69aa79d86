#include "control/time_budget.h"

#include <algorithm>
#include <cmath>

namespace zelmora {

namespace {

// ---- The budget of a move ----
constexpr int MAX_MOVES_TO_GO = 80;  // none given, or more: the game is assumed this long
// Kept back against transmission delays; the last moves before a time control keep more.
constexpr std::int64_t RESERVE_BY_MOVES_TO_GO[5] = {150, 700, 1100, 1400, 1600};
constexpr int MOVES_WITH_LARGER_RESERVE = 4;
constexpr std::int64_t MIN_USABLE_TIME = 50;
// The moves the remaining time is shared among, a saturating curve of the moves to go; pondering
// gains time on the opponent's clock, so fewer shares.
constexpr double PONDER_SHARES_LIMIT = 27.5, PONDER_SHARES_SLOPE = 0.8, PONDER_SHARES_EXTRA = 0.3;
constexpr double PLAIN_SHARES_LIMIT = 40.0, PLAIN_SHARES_EXTRA = 0.1;
constexpr double SHARE_DECAY_BASE = 1.6;
constexpr double SOFT_SHARE = 0.125, HARD_SHARE = 0.2;  // of the time beyond the target share
constexpr int SOFT_INCREMENTS = 4, HARD_INCREMENTS = 8;
// Soft at most 5/6 of hard, the target at most half of soft and at least a sixth of it.
constexpr int SOFT_OF_HARD_NUMERATOR = 5, SOFT_OF_HARD_DENOMINATOR = 6;
constexpr int SOFT_PER_TARGET_MIN = 2, SOFT_PER_TARGET_MAX = 6;
// Beyond the rules above (a deliberate deviation): the time left less this margin is never
// overstepped, and with less than the margin left the move still gets a short look.
constexpr std::int64_t CLOCK_SAFETY_MARGIN = 50;
constexpr std::int64_t SHORTEST_LOOK = 5;

// ---- Whether another iteration starts ----
constexpr double SOFT_PER_ITERATION = 2.4;   // the next iteration must fit this often into soft
constexpr double CHANGE_PERCENT_OFFSET = 12.0;
constexpr double STEADY_CHANGE_WEIGHT = 21.0;
constexpr double ITERATION_GROWTH = 1.4;     // an iteration costs this much more than the time so far
constexpr double TARGET_SHARE = 7.0 / 12.0;

}  // namespace

bool TimeLimits::mustStop(bool newBestInHand) const {
    const std::int64_t time = elapsed();
    return time >= hard || (time >= soft && newBestInHand);
}

bool TimeLimits::softExceeded() const { return elapsed() >= soft; }
bool TimeLimits::softExceededOnPonderhit() const { return elapsed() >= soft; }

bool TimeLimits::nextIteration(std::uint64_t nodes, int depth, double instability) const {
    if (depth > maxDepth || nodes >= static_cast<std::uint64_t>(nodeLimit)) return false;
    const std::int64_t time = elapsed();
    if (time >= soft || static_cast<double>(time) * SOFT_PER_ITERATION > static_cast<double>(soft)) return false;
    // The likelier a change of mind, the more of the target the next iteration may take; the
    // time already spent counts against it.
    const double k = instability + CHANGE_PERCENT_OFFSET;
    const double m = k <= STEADY_CHANGE_WEIGHT ? STEADY_CHANGE_WEIGHT
                                               : (STEADY_CHANGE_WEIGHT * movesFactor + k) / (movesFactor + 1.0);
    return k / (static_cast<double>(time) * ITERATION_GROWTH + 0.001) >
           m / (static_cast<double>(target) * TARGET_SHARE);
}

void TimeLimits::setUnlimited(int depth) {
    maxDepth = static_cast<std::int16_t>(std::clamp(depth, 0, 32767));
    target = soft = hard = UNLIMITED_TIME;
    nodeLimit = UNLIMITED_NODES;
    movesFactor = 10.0;
}

void TimeLimits::setBudget(const GoParameters& go, bool infinite, bool ponder) {
    if (infinite) {
        setUnlimited(100);
    } else if (go.depth > 0 || go.mate > 0) {
        // A mate in m needs 2m plies whatever depth was asked for; depths beyond 16 bits are
        // clamped, not wrapped.
        const std::int64_t depth = go.mate > 0 ? 2 * std::int64_t(go.mate) : std::int64_t(go.depth) - 1;
        setUnlimited(static_cast<int>(std::min<std::int64_t>(depth, 32767)));
    } else if (go.moveTime > 0) {
        setUnlimited(100);
        soft = hard = go.moveTime;
    } else if (go.nodes > 0) {
        setUnlimited(100);
        nodeLimit = std::max<std::int64_t>(go.nodes, 500);
    } else {
        setClockBudget(go.time, go.increment, go.movesToGo);
        if (go.clockGiven && !ponder) keepWithinClock(go.time);
    }
}

// The budget rules above leave at least MIN_USABLE_TIME after the reserve, and a large increment can
// lift the hard limit to that floor: with less than that on the clock the move would come after the
// flag. Deliberately beyond those rules, no limit may reach past the time really left less a margin
// for stopping the threads and the reply's way to the interface. From 200 ms up the reserve already
// keeps the limits lower, so only the last moments of a game are touched.
void TimeLimits::keepWithinClock(std::int64_t timeLeft) {
    timeLeft = std::clamp<std::int64_t>(timeLeft, 0, UNLIMITED_TIME);
    const std::int64_t latest = std::max(timeLeft - CLOCK_SAFETY_MARGIN, std::min(timeLeft / 2, SHORTEST_LOOK));
    hard = std::min(hard, latest);
    soft = std::min(soft, latest);
    target = std::min(target, latest);
}

void TimeLimits::setClockBudget(std::int64_t time, std::int64_t increment, int movesToGo) {
    // Anything beyond the unlimited mark is no clock at all; capping keeps the sums below in range.
    time = std::clamp<std::int64_t>(time, 0, UNLIMITED_TIME);
    increment = std::clamp<std::int64_t>(increment, 0, UNLIMITED_TIME);
    if (movesToGo <= 0 || movesToGo > MAX_MOVES_TO_GO) movesToGo = MAX_MOVES_TO_GO;

    time -= movesToGo <= MOVES_WITH_LARGER_RESERVE ? RESERVE_BY_MOVES_TO_GO[movesToGo] : RESERVE_BY_MOVES_TO_GO[0];
    time = std::max<std::int64_t>(time, MIN_USABLE_TIME);

    const double f = ponderOption ? PONDER_SHARES_LIMIT * std::tanh(PONDER_SHARES_SLOPE * movesToGo / PONDER_SHARES_LIMIT) +
                                        PONDER_SHARES_EXTRA
                                  : PLAIN_SHARES_LIMIT * std::tanh(movesToGo / PLAIN_SHARES_LIMIT) + PLAIN_SHARES_EXTRA;
    const double t = static_cast<double>(time);
    const double p = std::pow(SHARE_DECAY_BASE, 1.0 - f);
    movesFactor = f;
    target = static_cast<std::int64_t>(t / f) + increment;
    soft = static_cast<std::int64_t>(t * (p + SOFT_SHARE * (1.0 - p))) + SOFT_INCREMENTS * increment;
    hard = static_cast<std::int64_t>(t * (p + HARD_SHARE * (1.0 - p))) + HARD_INCREMENTS * increment;
    if (hard > time) hard = time;
    if (soft * SOFT_OF_HARD_DENOMINATOR > hard * SOFT_OF_HARD_NUMERATOR)
        soft = hard * SOFT_OF_HARD_NUMERATOR / SOFT_OF_HARD_DENOMINATOR;
    if (SOFT_PER_TARGET_MIN * target > soft) target = soft / SOFT_PER_TARGET_MIN;
    if (SOFT_PER_TARGET_MAX * target < soft) soft = SOFT_PER_TARGET_MAX * target;
    maxDepth = 100;
    nodeLimit = UNLIMITED_NODES;
}

}  // namespace zelmora
