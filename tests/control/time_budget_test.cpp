#include "control/time_budget.h"

#include <gtest/gtest.h>

#include <tuple>

#include "search/engine.h"

namespace zelmora::test {
namespace {

// A clock that started the given milliseconds ago, with unlimited figures unless set.
TimeLimits runningFor(std::int64_t milliseconds) {
    TimeLimits clock;
    clock.maxDepth = 100;
    clock.start();
    clock.startTime -= milliseconds;
    return clock;
}

using Budget = std::tuple<std::int64_t, std::int64_t, std::int64_t>;  // target, soft, hard

Budget clockBudget(std::int64_t time, std::int64_t increment, int movesToGo, bool ponder) {
    TimeLimits clock;
    clock.setPonderOption(ponder);
    clock.setBudget(GoParameters{time, increment, movesToGo}, false);
    EXPECT_EQ(clock.maxDepth, 100);
    EXPECT_EQ(clock.nodeLimit, UNLIMITED_NODES);
    return {clock.target, clock.soft, clock.hard};
}

// The expected figures are worked out by hand from the budget formulas.
TEST(TimeLimits, ClockBudgetExamples) {
    const Budget eighty{1548, 7481, 11970};
    const struct {
        std::int64_t time, increment;
        int movesToGo;
        bool ponder;
        Budget expected;
    } cases[] = {
        // 100 ms less the reserve of 150 leaves the minimum of 50 ms.
        {100, 0, 0, false, {1, 6, 10}}, {-100000, -100, 0, true, {1, 6, 10}},
        // The last four moves before the control keep larger reserves.
        {10000, 0, 1, false, {3732, 7465, 8959}}, {10000, 0, 4, false, {1356, 2712, 3255}},
        {10000, 0, 5, false, {1250, 2501, 3131}},
        // Moves to go of 0, below 0 or above 80 count as 80; a negative increment as 0.
        {60000, 0, 80, false, eighty}, {60000, 0, 0, false, eighty}, {60000, -50, -3, false, eighty},
        // Pondering shares the time among fewer moves.
        {60000, 1000, 0, false, {2548, 11481, 19970}}, {60000, 1000, 0, true, {3193, 11481, 19970}},
        {300000, 0, 40, true, {13087, 37490, 59978}},
        // A large increment: hard is capped by the time left, soft falls to 5/6 of hard and the
        // target to half of soft.
        {1000, 5000, 0, false, {354, 708, 850}},
        {100000, 2000, 10, false, {10907, 21815, 37190}},  // only the target halving
        // A target truncated to 1 ms limits soft to six times it.
        {225, 0, 0, false, {1, 6, 15}},
        {9999999999, 0, 0, true, {366549658, 1250037776, 2000034525}},  // beyond 32 bits
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clockBudget(c.time, c.increment, c.movesToGo, c.ponder), c.expected)
            << c.time << "+" << c.increment << " moves " << c.movesToGo << " ponder " << c.ponder;
    }
    TimeLimits clock;  // the factor stays for the iteration decisions
    clock.setBudget(GoParameters{300000, 0, 40}, false);
    EXPECT_NEAR(clock.movesFactor, 22.911088936067483, 1e-9);
    // Absurd figures are capped instead of overflowing.
    const auto [target, soft, hard] = clockBudget(INT64_MAX, INT64_MAX, 1, false);
    EXPECT_GT(target, 0);
    EXPECT_LE(target * 2, soft);
    EXPECT_LE(soft, hard);
}

TEST(TimeLimits, NoLimitReachesPastTheClockLeft) {
    const struct {
        std::int64_t time, increment;
        bool ponder;
        Budget expected;
    } cases[] = {
        // 29 ms left at 2+0.02: the floor and eight increments would have allowed 50 ms.
        {29, 20, false, {5, 5, 5}},
        {29, 20, true, {20, 41, 50}},  // pondering runs on the opponent's time
        {0, 0, false, {0, 0, 0}},
        {100, 0, false, {1, 6, 10}},  // within the margin already
        {60000, 1000, false, {2548, 11481, 19970}},
    };
    for (const auto& c : cases) {
        TimeLimits clock;
        clock.setPonderOption(false);
        GoParameters go{c.time, c.increment};
        go.clockGiven = true;
        clock.setBudget(go, false, c.ponder);
        EXPECT_EQ(Budget(clock.target, clock.soft, clock.hard), c.expected) << c.time << "+" << c.increment;
    }
}

TEST(TimeLimits, NextIterationNeedsAllFiveConditions) {
    TimeLimits clock = runningFor(0);
    clock.maxDepth = 7;
    clock.nodeLimit = 1000;
    EXPECT_TRUE(clock.nextIteration(999, 7, 20.0));
    EXPECT_FALSE(clock.nextIteration(999, 8, 20.0));
    EXPECT_FALSE(clock.nextIteration(1000, 7, 20.0));
    clock.soft = 0;
    EXPECT_FALSE(clock.nextIteration(0, 0, 20.0));

    // A second gone: the next iteration must fit 2.4 times into the soft limit.
    clock = runningFor(1000);
    clock.soft = 2000;
    EXPECT_FALSE(clock.nextIteration(0, 0, 20.0));
    clock.soft = 3000;
    EXPECT_TRUE(clock.nextIteration(0, 0, 20.0));

    // With a steady best move (k <= 21) the target must exceed 4.2 times the time spent; an
    // unsteady one lets the search go on with far less.
    const struct {
        std::int64_t target;
        double instability;
        bool next;
    } cases[] = {{3000, 0.0, false}, {3000, 88.0, true}, {6000, 0.0, true}, {1000, 88.0, true}, {500, 88.0, false}};
    for (const auto& c : cases) {
        clock.target = c.target;
        EXPECT_EQ(clock.nextIteration(0, 0, c.instability), c.next) << c.target << " " << c.instability;
    }
}

TEST(TimeLimits, StopQuestions) {
    TimeLimits clock = runningFor(1000);
    EXPECT_FALSE(clock.mustStop(false));
    EXPECT_FALSE(clock.softExceeded());
    clock.soft = 1000;
    EXPECT_TRUE(clock.softExceeded());
    EXPECT_TRUE(clock.softExceededOnPonderhit());
    // Past the soft limit only an iteration that just found a new best move is cut short.
    EXPECT_FALSE(clock.mustStop(false));
    EXPECT_TRUE(clock.mustStop(true));
    clock.hard = 1000;
    EXPECT_TRUE(clock.mustStop(false));
}

}  // namespace
}  // namespace zelmora::test
