// Searches with several threads through the UCI front end: start, stop, a new search, a thread
// count change in the middle of a search, pondering, teardown while the workers run, and mate
// scores that must not depend on how many threads found them.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "board/notation.h"
#include "control/search_control.h"
#include "control/session.h"
#include "search/engine.h"
#include "support/protocol_fixture.h"
#include "support/recording_output.h"

namespace zelmora::test {
namespace {

// The searches run on a position with one legal move, so that the result is known.
class SearchControlTest : public ::testing::Test {
protected:
    SearchControlTest() {
        control.setOutput(&output);
        EXPECT_TRUE(session.game.setFen("k7/8/8/8/8/8/1r6/K7 w - - 0 1"));
        EXPECT_TRUE(textToMove(session.game.position, "a1b2", onlyMove, true));
    }
    // A search still running reports to the output, which goes before the control.
    ~SearchControlTest() override { control.stop(); }

    static GoParameters depth(int d) {
        GoParameters go;
        go.depth = d;
        return go;
    }

    Move onlyMove = NO_MOVE;
    Session session;
    SearchControl control{session};
    SharedSearch& shared = control.shared();
    TimeLimits& clock = *control.clock();
    test::RecordingOutput output{control.shared()};
    const GoParameters none{};
};

TEST_F(SearchControlTest, StopEndsTheSearchAndReturnsAfterItsResult) {
    shared.stop = true;
    ASSERT_TRUE(control.go(none, true, true));
    EXPECT_TRUE(shared.ponder);
    EXPECT_TRUE(shared.continueIterating);
    EXPECT_FALSE(shared.stop);
    control.stop();
    auto results = output.results();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].best, onlyMove);
    EXPECT_FALSE(results[0].silent);
    EXPECT_NE(results[0].thread, std::this_thread::get_id());
    EXPECT_TRUE(shared.stop);
    EXPECT_FALSE(shared.ponder);
    EXPECT_FALSE(shared.continueIterating);
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
    EXPECT_FALSE(shared.stop);  // the second search runs
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

const char MIDDLE_GAME[] = "position fen r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 0 8";

class ParallelSearch : public test::ProtocolTest {
protected:
    // Lines starting with prefix; waits up to 30 s for count of them.
    std::vector<std::string> waitForLines(const std::string& prefix, std::size_t count = 1) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        for (;;) {
            std::vector<std::string> found;
            for (const std::string& line : lines())
                if (line.rfind(prefix, 0) == 0) found.push_back(line);
            if (found.size() >= count || std::chrono::steady_clock::now() > deadline) return found;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // Exactly one best move comes, and it is legal in the game position.
    void expectOneLegalBestMove() {
        const std::vector<std::string> best = waitForLines("bestmove");
        ASSERT_EQ(best.size(), 1u);
        Move m;
        EXPECT_TRUE(textToMove(session.game.position, best[0].substr(9, best[0].find(' ', 9) - 9).c_str(), m, true))
            << best[0];
    }
};

TEST_F(ParallelSearch, TwoAndFourThreadsStopAndSearchAgainWithScaledNodeCounts) {
    for (int threads : {2, 4}) {
        out.clear();
        send("setoption name NumberOfProcessors value " + std::to_string(threads));
        send(MIDDLE_GAME);
        send("go infinite");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        send("stop");
        expectOneLegalBestMove();
        out.clear();
        send("go depth 6");
        expectOneLegalBestMove();
        const std::string last = waitForLines("info depth").back();
        const long long nodes = std::stoll(last.substr(last.find(" nodes ") + 7));
        EXPECT_GT(nodes, 0);
        EXPECT_EQ(nodes % threads, 0) << "printed nodes are the main thread's times the thread count";
    }
}

TEST_F(ParallelSearch, AThreadCountChangeStopsTheSearchSilentlyAndTheNextSearchUsesIt) {
    send("setoption name NumberOfProcessors value 2");
    send(MIDDLE_GAME);
    send("go infinite");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    send("setoption name NumberOfProcessors value 3");
    EXPECT_TRUE(out.text().find("bestmove") == std::string::npos) << "the stop is silent";
    EXPECT_EQ(control.threadCount(), 3);
    ASSERT_NE(control.worker(1), nullptr);
    EXPECT_EQ(control.worker(2), nullptr);
    send("go depth 5");
    expectOneLegalBestMove();
}

TEST_F(ParallelSearch, MateScoresDoNotDependOnTheThreadCount) {
    const struct {
        const char* fen;
        const char* score;
    } problems[] = {
        {"r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 1", "score mate 2"},
        {"r5rk/5p1p/5R2/4B3/8/8/7P/7K w - - 0 1", "score mate 3"},
    };
    send("setoption name NumberOfProcessors value 2");
    for (const auto& p : problems) {
        send("ucinewgame");
        send(std::string("position fen ") + p.fen);
        send("go depth 8");
        ASSERT_EQ(waitForLines("bestmove").size(), 1u);
        const auto finals = waitForLines("info depth");
        ASSERT_FALSE(finals.empty());
        EXPECT_NE(finals.back().find(p.score), std::string::npos) << finals.back();
        out.clear();
    }
}

}  // namespace
}  // namespace zelmora::test
