#include "xboard/score_history.h"

#include <gtest/gtest.h>

namespace zelmora {
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

}  // namespace
}  // namespace zelmora
