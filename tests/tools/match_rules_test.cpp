// The match runner's time controls and clocks.

#include <gtest/gtest.h>

#include "match/game_clock.h"

namespace zelmora::match {
namespace {

TEST(MatchTimeControl, ParsesAndPrints) {
    const auto inc = TimeControl::parse("2+0.02");
    ASSERT_TRUE(inc);
    EXPECT_EQ(inc->baseUs, 2000000);
    EXPECT_EQ(inc->incrementUs, 20000);
    EXPECT_EQ(inc->movesPerPeriod, 0);
    EXPECT_EQ(inc->text(), "2+0.02");

    const auto period = TimeControl::parse("40/60");
    ASSERT_TRUE(period);
    EXPECT_EQ(period->movesPerPeriod, 40);
    EXPECT_EQ(period->baseUs, 60000000);
    EXPECT_EQ(period->text(), "40/60");
    EXPECT_EQ(TimeControl::parse("40/0.5+0.125")->text(), "40/0.5+0.125");
    EXPECT_EQ(TimeControl::parse("0+1")->baseUs, 0);  // increment only is playable

    for (const char* bad : {"", "+", "10+", "/10", "0/10", "x/10", "10+-1", "-5", "0", "0+0", "1e3", "10 + 1", "40/"})
        EXPECT_FALSE(TimeControl::parse(bad)) << bad;
}

TEST(MatchClock, IncrementAndMargin) {
    GameClock clock(*TimeControl::parse("1+0.1"));
    EXPECT_EQ(clock.movesToGo(), 0);
    EXPECT_TRUE(clock.charge(300000, 0));
    EXPECT_EQ(clock.remainingUs(), 800000);  // 1 s - 0.3 s + 0.1 s
    // Over the clock but inside the margin: forgiven, the clock stops at zero before the increment.
    EXPECT_TRUE(clock.charge(850000, 50000));
    EXPECT_EQ(clock.remainingUs(), 100000);
    EXPECT_FALSE(clock.charge(150001, 50000));  // one microsecond beyond the margin
    EXPECT_EQ(clock.remainingUs(), 100000);     // a fallen flag leaves the clock alone
    EXPECT_TRUE(clock.charge(150000, 50000));
}

}  // namespace
}  // namespace zelmora::match
