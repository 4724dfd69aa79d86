#include "control/search_control.h"

#include <gtest/gtest.h>

#include <thread>

#include "board/notation.h"
#include "search/engine.h"
#include "support/recording_output.h"

namespace zelmora {
namespace {

// The searches run on a position with one legal move, so that the result is known whether the
// search is a placeholder that leaves the preset move alone or a real one that finds it.
class SearchControlTest : public ::testing::Test {
protected:
    SearchControlTest() {
        engine.clock = &clock;
        engine.setListener(&output);
        EXPECT_TRUE(engine.game.setFen("k7/8/8/8/8/8/1r6/K7 w - - 0 1"));
        EXPECT_TRUE(textToMove(engine.game.position, "a1b2", onlyMove, true));
        engine.pvMove = onlyMove;
    }

    static GoParameters depth(int d) {
        GoParameters go;
        go.depth = d;
        return go;
    }

    Move onlyMove = NO_MOVE;
    Engine engine;
    TimeLimits clock;
    test::RecordingOutput output{engine};
    SearchControl control{&engine, &output, &clock};
    const GoParameters none{};
};

TEST_F(SearchControlTest, StopEndsTheSearchAndReturnsAfterItsResult) {
    engine.stop = true;
    ASSERT_TRUE(control.go(none, true, true));
    EXPECT_TRUE(engine.ponder);
    EXPECT_TRUE(engine.continueIterating);
    EXPECT_FALSE(engine.stop);
    control.stop();
    auto results = output.results();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].best, onlyMove);
    EXPECT_FALSE(results[0].silent);
    EXPECT_NE(results[0].thread, std::this_thread::get_id());
    EXPECT_TRUE(engine.stop);
    EXPECT_FALSE(engine.ponder);
    EXPECT_FALSE(engine.continueIterating);
    EXPECT_FALSE(clock.running);
    control.stop();  // nothing runs: returns at once
    EXPECT_EQ(output.results().size(), 1u);
}

TEST_F(SearchControlTest, SearchesThatEndByThemselvesReportAndAreJoinedLater) {
    output.holdUntilStopped = false;
    // More searches than the ring of finished threads holds: each "go" closes the one before.
    for (std::size_t i = 1; i <= 7; ++i) {
        ASSERT_TRUE(control.go(depth(1), false, false));
        ASSERT_TRUE(output.waitForResults(i));
        auto result = output.results().back();
        EXPECT_TRUE(result.finished);  // not stopped: the final statistics come first
        EXPECT_EQ(result.best, onlyMove);
    }
}

TEST_F(SearchControlTest, GoWhileSearchingEndsTheFirstSearchSilently) {
    ASSERT_TRUE(control.go(none, false, true));
    ASSERT_TRUE(control.go(none, false, true));
    auto results = output.results();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].silent);
    EXPECT_FALSE(output.isSilent());
    EXPECT_FALSE(engine.stop);  // the second search runs
    control.stop();
    results = output.results();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_FALSE(results[1].silent);
}

TEST_F(SearchControlTest, BlockingSearchesRunInTheCallerUnlessPondering) {
    control.blocking = true;
    output.holdUntilStopped = false;
    ASSERT_TRUE(control.go(depth(1), false, false));
    auto results = output.results();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].thread, std::this_thread::get_id());
    EXPECT_TRUE(results[0].finished);
    EXPECT_FALSE(clock.running);

    // A ponder search must leave the command thread free for "ponderhit" and "stop".
    output.holdUntilStopped = true;
    ASSERT_TRUE(control.go(depth(1), true, false));
    EXPECT_EQ(output.results().size(), 1u);
    control.stop();
    results = output.results();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_NE(results[1].thread, std::this_thread::get_id());
}

TEST_F(SearchControlTest, TeardownStopsAndJoinsARunningSearch) {
    {
        SearchControl local(&engine, &output, &clock);
        ASSERT_TRUE(local.go(none, false, true));
    }
    EXPECT_TRUE(engine.stop);
    // A real search ends without a result; the stand-in may already have been in it.
    EXPECT_LE(output.results().size(), 1u);
    const std::size_t before = output.results().size();
    {
        SearchControl local(&engine, &output, &clock);
        output.holdUntilStopped = false;
        ASSERT_TRUE(local.go(depth(1), false, false));
        ASSERT_TRUE(output.waitForResults(before + 1));
    }  // the finished thread is joined here
}

}  // namespace
}  // namespace zelmora
