#include <gtest/gtest.h>


#include "xboard/score_history.h"
#include "xboard/time_control.h"

namespace zelmora::test {
namespace {

constexpr int RESIGN_AT = -7000;

TEST(ScoreHistory, ResignsAfterFourHopelessScoresThatDoNotImprove) {
    ScoreHistory history;
    for (int score : {-8000, -9000, -9500}) {
        history.recordMove(true, score, true, 40);
        EXPECT_FALSE(history.shouldResign(RESIGN_AT));
    }
    history.recordMove(true, -9500, true, 42);  // equal to the one before: no improvement
    EXPECT_TRUE(history.shouldResign(RESIGN_AT));
    history.recordMove(true, -9000, true, 44);  // better than the one before
    EXPECT_FALSE(history.shouldResign(RESIGN_AT));
    history.recordMove(true, -6999, true, 46);
    history.recordMove(true, -7100, true, 48);
    EXPECT_FALSE(history.shouldResign(RESIGN_AT));  // one of the four is above the threshold
    ScoreHistory atThreshold;
    for (int move = 50; move < 54; ++move) atThreshold.recordMove(true, RESIGN_AT, true, move);
    EXPECT_TRUE(atThreshold.shouldResign(RESIGN_AT));
}

TEST(ScoreHistory, ForcedMovesAndASideChangeDoNotCount) {
    ScoreHistory history;
    for (int i = 0; i < 3; ++i) history.recordMove(true, -9000, true, 40);
    history.recordMove(true, -9900, false, 40);  // only one legal move: no score
    EXPECT_FALSE(history.shouldResign(RESIGN_AT));
    history.recordMove(false, -9900, true, 41);  // now the engine plays Black: a fresh start
    EXPECT_EQ(history.count(), 1);
    EXPECT_FALSE(history.shouldResign(RESIGN_AT));
}

TEST(ScoreHistory, OffersADrawOnlyAfterALongLevelStretch) {
    ScoreHistory history;
    history.recordMove(true, 0, true, 2);
    history.clear();  // a new game starts the count again
    int offers = 0, firstOffer = 0;
    for (int move = 1; move <= 30; ++move) {
        if (history.recordMove(true, move % 2, true, 2 * move) && offers++ == 0) firstOffer = move;
    }
    EXPECT_EQ(firstOffer, 21);
    EXPECT_EQ(offers, 1);  // the count starts again after an offer
    ScoreHistory slightlyBetter;
    for (int move = 1; move <= 30; ++move) EXPECT_FALSE(slightlyBetter.recordMove(true, 2, true, 2 * move));
}

TEST(ScoreHistory, AnOfferIsTakenUnlessTheEngineIsWinning) {
    ScoreHistory history;
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(history.recordMove(true, -3000, true, 20));
    history.opponentOffersDraw();
    EXPECT_TRUE(history.recordMove(true, -3000, true, 22));
    // The offer counts once.
    EXPECT_FALSE(history.recordMove(true, -3000, true, 24));
    history.opponentOffersDraw();
    EXPECT_FALSE(history.recordMove(true, 500, true, 26));
    EXPECT_FALSE(history.recordMove(true, 0, true, 28));  // the refused offer is gone

    ScoreHistory early;  // fewer than four scores: no answer yet
    early.opponentOffersDraw();
    EXPECT_FALSE(early.recordMove(true, -3000, true, 2));
}

TEST(TimeControl, LevelsGiveMovesToGoIncrementsAndCredits) {
    const struct {
        const char* level;
        int ply;  // the plies played before the move
        int movesToGo;
        double increment, credit;  // credit: the time that comes after the move at this ply
    } cases[] = {
        {"40 5 0", 0, 40, 0, 0},       {"40 5 0", 1, 40, 0, 0},  // White's and Black's first move
        {"40 5 0", 77, 2, 0, 0},       {"40 5 0", 78, 1, 0, 300000},
        {"40 5 0", 79, 1, 0, 300000},  {"40 5 0", 80, 40, 0, 0},  // a single period repeats
        {"0 2:30 3", 0, 0, 3000, 3000}, {"0 2:30 3", 1001, 0, 3000, 3000}, {"0 0:05 0.5", 3, 0, 500, 500},
        // Three periods run in turn and the last one repeats.
        {"40 120 0 20 60 0 10 15 2", 78, 1, 0, 3600000}, {"40 120 0 20 60 0 10 15 2", 80, 20, 0, 0},
        {"40 120 0 20 60 0 10 15 2", 118, 1, 0, 900000}, {"40 120 0 20 60 0 10 15 2", 120, 10, 2000, 2000},
        {"40 120 0 20 60 0 10 15 2", 138, 1, 2000, 902000}, {"40 120 0 20 60 0 10 15 2", 140, 10, 2000, 2000},
        // A second period without a third repeats; a game-long second period ends the counting.
        {"40 5 0 20 1 0", 80, 20, 0, 0}, {"40 5 0 20 1 0", 118, 1, 0, 60000}, {"40 5 0 20 1 0", 120, 20, 0, 0},
        {"40 5 0 0 1 2", 80, 0, 2000, 2000},
    };
    for (const auto& c : cases) {
        TimeControl control;
        ASSERT_TRUE(control.parseLevel(c.level)) << c.level;
        EXPECT_EQ(control.movesToGo(c.ply), c.movesToGo) << c.level << " ply " << c.ply;
        EXPECT_EQ(control.increment(c.ply), c.increment) << c.level << " ply " << c.ply;
        EXPECT_EQ(control.creditAfterMove(c.ply), c.credit) << c.level << " ply " << c.ply;
    }
    TimeControl control;
    ASSERT_TRUE(control.parseLevel("0 0:05 0.5"));
    EXPECT_EQ(control.period(0).baseMs, 5000.0);
}

TEST(TimeControl, IncompleteLevelsChangeNothing) {
    TimeControl control;
    ASSERT_TRUE(control.parseLevel("40 5 0"));
    for (const char* bad : {"40 5", "", "x 5 0", "40 5 0 20", "40 5 0 20 1", "40 5 x"})
        EXPECT_FALSE(control.parseLevel(bad)) << bad;
    EXPECT_EQ(control.period(0).moves, 40);
    EXPECT_EQ(control.period(0).baseMs, 300000.0);
    EXPECT_EQ(control.period(1).moves, -1);
}

}  // namespace
}  // namespace zelmora::test
