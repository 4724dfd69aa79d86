#include "control/time_limits.h"

#include <gtest/gtest.h>

#include <thread>

#include "search/engine.h"
#include "util/platform.h"

namespace zelmora {
namespace {

TEST(TimeLimits, StopAccumulatesRunningTimeUntilReset) {
    TimeLimits clock;
    clock.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_GE(clock.elapsed(), 25);
    clock.stop();
    std::int64_t first = clock.accumulated;
    EXPECT_GE(first, 25);
    clock.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    clock.stop();
    EXPECT_GE(clock.accumulated, first + 8);
    EXPECT_FALSE(clock.running);
    clock.reset();
    EXPECT_EQ(clock.accumulated, 0);
}

struct Budget {
    std::int64_t target, soft, hard;
};

Budget clockBudget(std::int64_t time, std::int64_t increment, int movesToGo, bool ponder) {
    TimeLimits clock;
    clock.setPonderOption(ponder);
    GoParameters go;
    go.time = time;
    go.increment = increment;
    go.movesToGo = movesToGo;
    clock.setBudget(go, false);
    EXPECT_EQ(clock.maxDepth, 100);
    EXPECT_EQ(clock.nodeLimit, UNLIMITED_NODES);
    return {clock.target, clock.soft, clock.hard};
}

void expectBudget(const Budget& actual, const Budget& expected) {
    EXPECT_EQ(actual.target, expected.target);
    EXPECT_EQ(actual.soft, expected.soft);
    EXPECT_EQ(actual.hard, expected.hard);
}

TimeLimits budgetFor(int depth, int mate, std::int64_t nodes, std::int64_t moveTime, bool infinite = false) {
    TimeLimits clock;
    GoParameters go;
    go.time = 60000;
    go.depth = depth;
    go.mate = mate;
    go.nodes = nodes;
    go.moveTime = moveTime;
    clock.setBudget(go, infinite);
    return clock;
}

TEST(TimeLimits, TheFirstApplicableRuleSetsTheBudget) {
    EXPECT_EQ(TimeLimits().maxDepth, 6);  // before the first "go"
    // Each case carries the figures of all later rules, which must be ignored.
    TimeLimits clock = budgetFor(5, 3, 100, 1000, true);
    EXPECT_EQ(clock.maxDepth, 100);
    EXPECT_EQ(clock.hard, UNLIMITED_TIME);
    EXPECT_EQ(clock.nodeLimit, UNLIMITED_NODES);
    EXPECT_EQ(budgetFor(5, 3, 100, 1000).maxDepth, 6);  // a mate depth overrides the plain depth
    EXPECT_EQ(budgetFor(5, 0, 100, 1000).maxDepth, 4);
    EXPECT_EQ(budgetFor(1, 0, 100, 1000).maxDepth, 0);  // one iteration
    clock = budgetFor(0, 3, 100, 1000);
    EXPECT_EQ(clock.maxDepth, 6);
    EXPECT_EQ(clock.soft, UNLIMITED_TIME);
    EXPECT_EQ(clock.nodeLimit, UNLIMITED_NODES);
    EXPECT_EQ(clock.movesFactor, 10.0);

    clock = budgetFor(0, 0, 100, 1000);
    EXPECT_EQ(clock.maxDepth, 100);
    EXPECT_EQ(clock.soft, 1000);
    EXPECT_EQ(clock.hard, 1000);
    EXPECT_EQ(clock.target, UNLIMITED_TIME);
    EXPECT_EQ(clock.nodeLimit, UNLIMITED_NODES);
    clock = budgetFor(0, 0, 100, 0);
    EXPECT_EQ(clock.nodeLimit, 500);
    EXPECT_EQ(clock.hard, UNLIMITED_TIME);
    EXPECT_EQ(budgetFor(0, 0, 1000, 0).nodeLimit, 1000);

    // A clock budget replaces every limit of the previous one.
    clock.setBudget(GoParameters{60000}, false);
    EXPECT_EQ(clock.nodeLimit, UNLIMITED_NODES);
    EXPECT_EQ(clock.maxDepth, 100);
    EXPECT_LT(clock.hard, 60000);

    // Kept within the 16-bit depth instead of wrapping.
    EXPECT_EQ(budgetFor(1000000, 0, 0, 0).maxDepth, 32767);
    EXPECT_EQ(budgetFor(0, 1000000000, 0, 0).maxDepth, 32767);
}

// The expected figures are worked out by hand from the budget formulas.
TEST(TimeLimits, ClockBudgetKeepsReservesAndMinimum) {
    // 100 ms less the reserve of 150 leaves the minimum of 50 ms.
    expectBudget(clockBudget(100, 0, 0, false), {1, 6, 10});
    expectBudget(clockBudget(-100000, -100, 0, true), {1, 6, 10});
    // The last four moves before the control keep larger reserves.
    expectBudget(clockBudget(10000, 0, 1, false), {3732, 7465, 8959});
    expectBudget(clockBudget(10000, 0, 2, false), {2512, 5024, 6029});
    expectBudget(clockBudget(10000, 0, 3, false), {1787, 3575, 4290});
    expectBudget(clockBudget(10000, 0, 4, false), {1356, 2712, 3255});
    expectBudget(clockBudget(10000, 0, 5, false), {1250, 2501, 3131});
    // Moves to go of 0, below 0 or above 80 count as 80; a negative increment as 0.
    const Budget eighty = {1548, 7481, 11970};
    expectBudget(clockBudget(60000, 0, 80, false), eighty);
    expectBudget(clockBudget(60000, 0, 0, false), eighty);
    expectBudget(clockBudget(60000, 0, 81, false), eighty);
    expectBudget(clockBudget(60000, -50, -3, false), eighty);
}

TEST(TimeLimits, PonderingSharesTheTimeAmongFewerMoves) {
    expectBudget(clockBudget(60000, 1000, 0, false), {2548, 11481, 19970});
    expectBudget(clockBudget(60000, 1000, 0, true), {3193, 11481, 19970});
    expectBudget(clockBudget(300000, 0, 40, false), {9810, 37481, 59970});
    expectBudget(clockBudget(300000, 0, 40, true), {13087, 37490, 59978});
    TimeLimits clock;  // the factor stays for the iteration decisions
    clock.setBudget(GoParameters{300000, 0, 40}, false);
    EXPECT_NEAR(clock.movesFactor, 22.911088936067483, 1e-9);
}

TEST(TimeLimits, TheLastStepsBalanceTheThreeLimits) {
    // A large increment: hard is capped by the time left, soft falls to 5/6 of hard and the
    // target to half of soft.
    expectBudget(clockBudget(1000, 5000, 0, false), {354, 708, 850});
    // Only the target halving.
    expectBudget(clockBudget(100000, 2000, 10, false), {10907, 21815, 37190});
    // A target truncated to 1 ms limits soft to six times it.
    expectBudget(clockBudget(225, 0, 0, false), {1, 6, 15});
    expectBudget(clockBudget(225, 0, 0, true), {2, 9, 15});
    // Times beyond 32 bits are kept whole.
    expectBudget(clockBudget(9999999999, 0, 0, true), {366549658, 1250037776, 2000034525});
    // Absurd figures are capped instead of overflowing.
    Budget huge = clockBudget(INT64_MAX, INT64_MAX, 1, false);
    EXPECT_GT(huge.target, 0);
    EXPECT_LE(huge.target * 2, huge.soft);
    EXPECT_LE(huge.soft, huge.hard);
}

// A clock that started the given milliseconds ago, with unlimited figures unless set.
TimeLimits runningFor(std::int64_t milliseconds) {
    TimeLimits clock;
    clock.maxDepth = 100;
    clock.start();
    clock.startTime -= milliseconds;
    return clock;
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
    clock.target = 3000;
    EXPECT_FALSE(clock.nextIteration(0, 0, 0.0));
    EXPECT_TRUE(clock.nextIteration(0, 0, 88.0));
    clock.target = 6000;
    EXPECT_TRUE(clock.nextIteration(0, 0, 0.0));
    clock.target = 1000;
    EXPECT_TRUE(clock.nextIteration(0, 0, 88.0));
    clock.target = 500;
    EXPECT_FALSE(clock.nextIteration(0, 0, 88.0));
}

TEST(TimeLimits, StopQuestions) {
    Engine engine;
    TimeLimits clock = runningFor(1000);
    EXPECT_FALSE(clock.mustStop(engine));
    EXPECT_FALSE(clock.softExceeded());
    clock.soft = 1000;
    EXPECT_TRUE(clock.softExceeded());
    EXPECT_TRUE(clock.softExceededOnPonderhit());
    // Past the soft limit only an iteration that just found a new best move is cut short.
    EXPECT_FALSE(clock.mustStop(engine));
    engine.newBest = true;
    EXPECT_TRUE(clock.mustStop(engine));
    engine.newBest = false;
    clock.hard = 1000;
    EXPECT_TRUE(clock.mustStop(engine));

    // A plain clock never stops the search and only limits the depth.
    SearchLimits plain;
    plain.maxDepth = 3;
    plain.start();
    plain.startTime -= 1000000;
    engine.newBest = true;
    EXPECT_FALSE(plain.mustStop(engine));
    EXPECT_FALSE(plain.softExceeded());
    EXPECT_FALSE(plain.softExceededOnPonderhit());
    EXPECT_TRUE(plain.nextIteration(UINT64_MAX, 3, 0.0));
    EXPECT_FALSE(plain.nextIteration(0, 4, 100.0));
}

}  // namespace
}  // namespace zelmora
