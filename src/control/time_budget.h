#pragma once
// The game clock: how long the next move may take, from the "go" figures.

#include <cstdint>

#include "options/option_table.h"
#include "search/search_limits.h"

namespace zelmora {

// Larger than any time or node count that occurs.
constexpr std::int64_t UNLIMITED_TIME = 0x007F0000FFFF0000LL;
constexpr std::int64_t UNLIMITED_NODES = 0x7FFF0000FFFF0000LL;

// The "go" figures of the side to move; absent values are 0.
struct GoParameters {
    std::int64_t time = 0;
    std::int64_t increment = 0;
    int movesToGo = 0;
    int depth = 0;
    std::int64_t nodes = 0;
    int mate = 0;
    std::int64_t moveTime = 0;
    bool clockGiven = false;  // the side to move's time was named, so the clock really runs
};

// The game clock: a budget computed from the "go" figures.
class TimeLimits : public SearchLimits {
public:
    std::int64_t target = UNLIMITED_TIME;  // planned time for this move
    double movesFactor = 10.0;             // the remaining time is shared among this many moves
    std::int64_t soft = UNLIMITED_TIME;    // no new iteration or root move after this
    std::int64_t hard = UNLIMITED_TIME;    // the search is stopped here
    std::int64_t nodeLimit = UNLIMITED_NODES;
    // The budget starts out assuming the Ponder option's announced default.
    bool ponderOption = optionSpec(OptionId::Ponder).defaultValue != 0;

    bool mustStop(bool newBestInHand) const override;
    bool softExceeded() const override;
    bool softExceededOnPonderhit() const override;
    bool nextIteration(std::uint64_t nodes, int depth, double instability) const override;

    void setPonderOption(bool on) { ponderOption = on; }
    // Sets depth, node and time limits for the next search; the clock is started separately.
    // A ponder search runs on the opponent's time, so its limits are not held to our clock.
    void setBudget(const GoParameters& go, bool infinite, bool ponder = false);

private:
    void setUnlimited(int depth);
    void setClockBudget(std::int64_t time, std::int64_t increment, int movesToGo);
    void keepWithinClock(std::int64_t timeLeft);
};

}  // namespace zelmora
