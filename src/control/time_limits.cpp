#include "control/time_limits.h"

#include <algorithm>
#include <cmath>

#include "search/engine.h"
#include "util/platform.h"

namespace zelmora {

void SearchLimits::reset() {
    running = false;
    accumulated = 0;
}

void SearchLimits::start() {
    startTime = systemMilliseconds();
    running = true;
}

void SearchLimits::stop() {
    accumulated += systemMilliseconds() - startTime;
    running = false;
}

bool SearchLimits::mustStop(const Engine&) const { return false; }
bool SearchLimits::softExceeded() const { return false; }
bool SearchLimits::softExceededOnPonderhit() const { return false; }
bool SearchLimits::nextIteration(std::uint64_t, int depth, double) const { return depth <= maxDepth; }

std::int64_t SearchLimits::elapsed() const { return systemMilliseconds() - startTime; }

bool TimeLimits::mustStop(const Engine& engine) const {
    const std::int64_t time = elapsed();
    return time >= hard || (time >= soft && engine.newBest);
}

bool TimeLimits::softExceeded() const { return elapsed() >= soft; }
bool TimeLimits::softExceededOnPonderhit() const { return elapsed() >= soft; }

bool TimeLimits::nextIteration(std::uint64_t nodes, int depth, double instability) const {
    if (depth > maxDepth || nodes >= static_cast<std::uint64_t>(nodeLimit)) return false;
    const std::int64_t time = elapsed();
    if (time >= soft || static_cast<double>(time) * 2.4 > static_cast<double>(soft)) return false;
    // The likelier a change of mind, the more of the target the next iteration may take; the
    // time already spent counts against it.
    const double k = instability + 12.0;
    const double m = k <= 21.0 ? 21.0 : (21.0 * movesFactor + k) / (movesFactor + 1.0);
    return k / (static_cast<double>(time) * 1.4 + 0.001) > m / (static_cast<double>(target) * (7.0 / 12.0));
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

// The budget rules above leave at least 50 ms after the reserve, and a large increment can lift the
// hard limit to that floor: with less than that on the clock the move would come after the flag.
// Deliberately beyond those rules, no limit may reach past the time really left less a margin for
// stopping the threads and the reply's way to the interface. From 200 ms up the reserve already
// keeps the limits lower, so only the last moments of a game are touched.
void TimeLimits::keepWithinClock(std::int64_t timeLeft) {
    constexpr std::int64_t SAFETY_MARGIN = 50;    // ms
    constexpr std::int64_t SHORTEST_LOOK = 5;     // ms, when even the margin is no longer there
    timeLeft = std::clamp<std::int64_t>(timeLeft, 0, UNLIMITED_TIME);
    const std::int64_t latest = std::max(timeLeft - SAFETY_MARGIN, std::min(timeLeft / 2, SHORTEST_LOOK));
    hard = std::min(hard, latest);
    soft = std::min(soft, latest);
    target = std::min(target, latest);
}

void TimeLimits::setClockBudget(std::int64_t time, std::int64_t increment, int movesToGo) {
    // Anything beyond the unlimited mark is no clock at all; capping keeps the sums below in range.
    time = std::clamp<std::int64_t>(time, 0, UNLIMITED_TIME);
    increment = std::clamp<std::int64_t>(increment, 0, UNLIMITED_TIME);
    if (movesToGo <= 0 || movesToGo > 80) movesToGo = 80;

    // The last moves before a time control keep a larger reserve against transmission delays.
    static constexpr std::int64_t RESERVE[5] = {150, 700, 1100, 1400, 1600};
    time -= movesToGo <= 4 ? RESERVE[movesToGo] : RESERVE[0];
    time = std::max<std::int64_t>(time, 50);

    // Pondering gains time on the opponent's clock, so the same moves get a larger share.
    const double f = ponderOption ? 27.5 * std::tanh(0.8 * movesToGo / 27.5) + 0.3
                                  : 40.0 * std::tanh(movesToGo / 40.0) + 0.1;
    const double t = static_cast<double>(time);
    const double p = std::pow(1.6, 1.0 - f);
    movesFactor = f;
    target = static_cast<std::int64_t>(t / f) + increment;
    soft = static_cast<std::int64_t>(t * (p + 0.125 * (1.0 - p))) + 4 * increment;
    hard = static_cast<std::int64_t>(t * (p + 0.2 * (1.0 - p))) + 8 * increment;
    if (hard > time) hard = time;
    if (soft * 6 > hard * 5) soft = hard * 5 / 6;
    if (2 * target > soft) target = soft / 2;
    if (6 * target < soft) soft = 6 * target;
    maxDepth = 100;
    nodeLimit = UNLIMITED_NODES;
}

}  // namespace zelmora
