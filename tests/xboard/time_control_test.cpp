#include "xboard/time_control.h"

#include <gtest/gtest.h>

namespace zelmora {
namespace {

TEST(TimeControl, LevelReadsMinutesOrMinutesAndSeconds) {
    TimeControl control;
    ASSERT_TRUE(control.parseLevel("40 5 0"));
    EXPECT_EQ(control.period(0).moves, 40);
    EXPECT_EQ(control.period(0).baseMs, 300000.0);
    EXPECT_EQ(control.period(1).moves, -1);

    ASSERT_TRUE(control.parseLevel("0 2:30 3"));
    EXPECT_EQ(control.period(0).moves, 0);
    EXPECT_EQ(control.period(0).baseMs, 150000.0);
    EXPECT_EQ(control.period(0).incrementMs, 3000.0);
    EXPECT_EQ(control.movesToGo(0), 0);
    EXPECT_EQ(control.movesToGo(1001), 0);
    EXPECT_EQ(control.increment(500), 3000.0);

    ASSERT_TRUE(control.parseLevel("0 0:05 0.5"));
    EXPECT_EQ(control.period(0).baseMs, 5000.0);
    EXPECT_EQ(control.period(0).incrementMs, 500.0);
}

TEST(TimeControl, IncompleteLevelsChangeNothing) {
    TimeControl control;
    ASSERT_TRUE(control.parseLevel("40 5 0"));
    for (const char* bad : {"40 5", "", "x 5 0", "40 5 0 20", "40 5 0 20 1", "40 5 x"}) {
        EXPECT_FALSE(control.parseLevel(bad)) << bad;
    }
    EXPECT_EQ(control.period(0).moves, 40);
    EXPECT_EQ(control.period(0).baseMs, 300000.0);
}

TEST(TimeControl, ASinglePeriodRepeats) {
    TimeControl control;
    ASSERT_TRUE(control.parseLevel("40 5 0"));
    EXPECT_EQ(control.movesToGo(0), 40);   // White's first move
    EXPECT_EQ(control.movesToGo(1), 40);   // Black's first move
    EXPECT_EQ(control.movesToGo(78), 1);   // White's 40th move
    EXPECT_EQ(control.movesToGo(80), 40);  // a new period begins
    // The 40th move brings the next 40 moves' time.
    EXPECT_EQ(control.creditAfterMove(79), 300000.0);
    EXPECT_EQ(control.creditAfterMove(77), 0.0);
}

TEST(TimeControl, ThreePeriodsRunInTurnAndTheLastRepeats) {
    TimeControl control;
    ASSERT_TRUE(control.parseLevel("40 120 0 20 60 0 10 15 2"));
    EXPECT_EQ(control.movesToGo(0), 40);
    EXPECT_EQ(control.creditAfterMove(78), 3600000.0);  // into the second period
    EXPECT_EQ(control.movesToGo(80), 20);                 // 41st move
    EXPECT_EQ(control.increment(80), 0.0);
    EXPECT_EQ(control.movesToGo(118), 1);                 // 60th move
    EXPECT_EQ(control.creditAfterMove(118), 900000.0 + 0.0);
    EXPECT_EQ(control.movesToGo(120), 10);                // 61st move: the third period
    EXPECT_EQ(control.increment(120), 2000.0);
    EXPECT_EQ(control.creditAfterMove(138), 2000.0 + 900000.0);  // it repeats itself
    EXPECT_EQ(control.movesToGo(140), 10);
}

TEST(TimeControl, ASecondPeriodWithoutAThirdRepeats) {
    TimeControl control;
    ASSERT_TRUE(control.parseLevel("40 5 0 20 1 0"));
    EXPECT_EQ(control.movesToGo(80), 20);
    EXPECT_EQ(control.movesToGo(118), 1);
    EXPECT_EQ(control.creditAfterMove(118), 60000.0);
    EXPECT_EQ(control.movesToGo(120), 20);
    // A game-long second period ends the counting.
    ASSERT_TRUE(control.parseLevel("40 5 0 0 1 2"));
    EXPECT_EQ(control.movesToGo(80), 0);
    EXPECT_EQ(control.increment(80), 2000.0);
}

}  // namespace
}  // namespace zelmora
