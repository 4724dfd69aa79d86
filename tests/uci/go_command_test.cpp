#include <gtest/gtest.h>

#include <string>

#include "board/notation.h"
#include "support/protocol_fixture.h"

namespace zelmora::test {
namespace {

// Each search is stopped at once; what is checked is the budget it was given.
class GoCommand : public test::ProtocolTest {
protected:
    void go(const std::string& arguments) {
        send("go " + arguments);
        send("stop");
    }
    void expectClock(std::int64_t target, std::int64_t soft, std::int64_t hard) {
        EXPECT_EQ(clock.target, target);
        EXPECT_EQ(clock.soft, soft);
        EXPECT_EQ(clock.hard, hard);
        EXPECT_EQ(clock.maxDepth, 100);
    }
};

TEST_F(GoCommand, OnlyTheClockOfTheSideToMoveCounts) {
    go("wtime 60000 btime 1000 winc 0 binc 500");
    expectClock(2193, 7481, 11970);
    send("position startpos moves e2e4");
    go("btime 10000 wtime 1 binc 100 winc 99999 movestogo 4");
    expectClock(1867, 3735, 4569);
    // Black to move with only White's figures: no time at all, so the minimum of 50 ms.
    go("wtime 300000 winc 5000 movestogo 40");
    expectClock(2, 6, 10);
}

// Each line carries the figures of all later rules, which must be ignored.
TEST_F(GoCommand, TheFirstApplicableRuleSetsTheLimits) {
    EXPECT_EQ(clock.maxDepth, 6);  // before the first "go"
    const std::string later = " nodes 100 movetime 1000 wtime 60000";
    const std::int64_t NONE = UNLIMITED_TIME;
    const struct {
        std::string go;
        int maxDepth;
        std::int64_t soft, hard, nodes;
    } cases[] = {
        {"infinite depth 5 mate 3" + later, 100, NONE, NONE, UNLIMITED_NODES},
        {"depth 5 mate 3" + later, 6, NONE, NONE, UNLIMITED_NODES},  // the mate depth wins
        {"depth 5" + later, 4, NONE, NONE, UNLIMITED_NODES},
        {"depth 1" + later, 0, NONE, NONE, UNLIMITED_NODES},  // one iteration
        {"mate 3" + later, 6, NONE, NONE, UNLIMITED_NODES},
        {"movetime 1000 nodes 100 wtime 60000", 100, 1000, 1000, UNLIMITED_NODES},
        {"nodes 100 wtime 60000", 100, NONE, NONE, 500}, {"nodes 1000", 100, NONE, NONE, 1000},
        {"depth 1000000", 32767, NONE, NONE, UNLIMITED_NODES},  // kept within 16 bits, not wrapped
        {"mate 1000000000", 32767, NONE, NONE, UNLIMITED_NODES},
        {"depth x movetime y nodes z", 100, 6, 10, UNLIMITED_NODES},  // unreadable: a clock without time
        {"wtime 60000", 100, 7481, 11970, UNLIMITED_NODES},  // a clock replaces every earlier limit
    };
    for (const auto& c : cases) {
        go(c.go);
        EXPECT_EQ(clock.maxDepth, c.maxDepth) << c.go;
        EXPECT_EQ(clock.soft, c.soft) << c.go;
        EXPECT_EQ(clock.hard, c.hard) << c.go;
        EXPECT_EQ(clock.nodeLimit, c.nodes) << c.go;
    }
}

TEST_F(GoCommand, PonderhitStopsASearchThatHasNothingLeftToDo) {
    Move move = NO_MOVE;
    ASSERT_TRUE(textToMove(session.game.position, "e2e4", move, true));
    clock.soft = UNLIMITED_TIME;
    clock.start();
    struct Case {
        Move best;
        bool continueIterating;
        std::int64_t soft;
        bool stops;
    };
    const Case cases[] = {
        {NO_MOVE, false, 0, false},  // nothing to play yet
        {move, false, UNLIMITED_TIME, true}, {move, true, UNLIMITED_TIME, false}, {move, true, 0, true},
    };
    for (const Case& c : cases) {
        engine.pvMove = c.best;
        shared.continueIterating = c.continueIterating;
        clock.soft = c.soft;
        shared.ponder = true;
        shared.stop = false;
        send("ponderhit");
        EXPECT_FALSE(shared.ponder);
        EXPECT_EQ(shared.stop, c.stops) << c.continueIterating << " " << c.soft;
    }
    EXPECT_TRUE(lines().empty());
}

}  // namespace
}  // namespace zelmora::test
