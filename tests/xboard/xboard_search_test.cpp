// Analysis, pondering and "move now": the searches run in their own thread while commands arrive.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "xboard_fixture.h"

namespace zelmora::test {
namespace {

using Lines = std::vector<std::string>;

class XboardSearch : public test::XboardTest {
protected:
    XboardSearch() { control.blocking = false; }
    int movesPrinted() const {
        int count = 0;
        for (const std::string& line : out.lines()) count += line.rfind("move ", 0) == 0;
        return count;
    }
    // After 1.e4 and the engine's answer in "hard" mode the ponder search runs on the reply that
    // "hint" names.
    void startPondering(std::string& expected) {
        start();
        send({"new", "hard", "level 0 0:03 0", "usermove e2e4"});
        ASSERT_TRUE(waitForLine("move "));
        send("hint");
        ASSERT_TRUE(waitForLine("Hint: "));
        expected = answers().back().substr(6);
    }
};

TEST_F(XboardSearch, AnalysisFollowsTheGameAndNeverMoves) {
    start();
    send({"new", "analyze"});
    ASSERT_TRUE(sentUci("go infinite"));
    ASSERT_TRUE(waitForLine("1 "));
    send(".");
    ASSERT_TRUE(waitForLine("stat01:"));
    // stat01: time, nodes, depth, moves left, moves in all.
    std::string stat;
    for (const std::string& line : out.lines())
        if (line.rfind("stat01:", 0) == 0) stat = line;
    int time = 0, depth = 0, left = 0, total = 0;
    double nodes = 0;
    ASSERT_EQ(std::sscanf(stat.c_str(), "stat01: %d %lf %d %d %d", &time, &nodes, &depth, &left, &total), 5) << stat;
    EXPECT_TRUE(total == 20 && left <= total) << stat;
    send("hint");
    ASSERT_TRUE(waitForLine("Hint: "));

    clearTranscript();
    send("usermove e2e4");
    EXPECT_EQ(lastPositionLine(), "position startpos moves e2e4 ");
    send("undo");
    EXPECT_EQ(lastPositionLine(), "position startpos");
    ASSERT_TRUE(waitForLine("1 "));
    send("exit");
    EXPECT_EQ(uciLines().back(), "setoption name Clear Hash value true");
    send(".");
    EXPECT_EQ(answers().back(), "Error (unknown command): .");
    EXPECT_EQ(movesPrinted(), 0);
}

TEST_F(XboardSearch, MoveNowEndsALongSearch) {
    start();
    send({"new", "level 0 60 0", "go"});
    ASSERT_TRUE(waitForLine("1 "));
    send("?");
    EXPECT_TRUE(waitForLine("move ", 10000));
    EXPECT_EQ(movesPrinted(), 1);
}

TEST_F(XboardSearch, PonderingOnTheExpectedReplyTurnsIntoTheSearch) {
    std::string expected;
    ASSERT_NO_FATAL_FAILURE(startPondering(expected));
    EXPECT_NE(uciLines().back().find(" ponder"), std::string::npos) << uciLines().back();
    EXPECT_NE(lastPositionLine().find(" " + expected), std::string::npos);

    clearTranscript();
    send("time 250");
    send("usermove " + expected);
    EXPECT_EQ(uciLines(), Lines{"ponderhit"});
    ASSERT_TRUE(waitForLine("move ", 10000));
    send("easy");
    EXPECT_EQ(movesPrinted(), 1);
}

TEST_F(XboardSearch, AnUnexpectedReplyStopsThePonderSearch) {
    std::string expected;
    ASSERT_NO_FATAL_FAILURE(startPondering(expected));
    // Of the two knight moves one differs from the expected reply.
    const std::string other = expected == "g1f3" || expected == "g1h3" ? "b1c3" : "g1f3";
    clearTranscript();
    send("usermove " + other);
    ASSERT_TRUE(waitForLine("move ", 10000)) << expected << " " << other;
    const Lines sent = uciLines();
    ASSERT_GE(sent.size(), 5u);
    EXPECT_EQ(sent[1], "stop");
    EXPECT_EQ(sent[3].rfind("position startpos moves e2e4 ", 0), 0u);
    EXPECT_NE(sent[3].find(" " + other), std::string::npos);
    EXPECT_EQ(sent[4].find(" ponder"), std::string::npos);
    send("force");
    EXPECT_EQ(movesPrinted(), 1);
}

}  // namespace
}  // namespace zelmora::test
