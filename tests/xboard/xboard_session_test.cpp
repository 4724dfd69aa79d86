// The xboard conversation itself: handshake, answers and the UCI lines each command turns into.

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "xboard_fixture.h"

namespace zelmora::test {
namespace {

using Lines = std::vector<std::string>;

const Lines FEATURES = {"feature done=0", "feature myname=\"Zelmora 2.4\"", "feature ping=1", "feature setboard=1",
                        "feature playother=1", "feature usermove=1", "feature sigint=0",
                        "feature variants=\"normal,fischerandom\"", "feature colors=0", "feature ics=0", "feature name=1"};

Lines withoutStartupFile() {
    Lines lines = {""};
    lines.insert(lines.end(), FEATURES.begin(), FEATURES.end());
    lines.push_back("Error (file 'Zelmora.ini' not found): protover");
    lines.push_back("feature done=1");
    return lines;
}

TEST_F(XboardTest, ProtoverTwoAnnouncesTheFeatures) {
    send({"xboard", "protover 2"});
    EXPECT_EQ(all(), withoutStartupFile());
    EXPECT_EQ(uciLines(), Lines{"debug on"});
    EXPECT_FALSE(control.quit);
}

TEST_F(XboardTest, ProtoverOneIsRefusedAndTheEngineQuits) {
    send({"xboard", "protover 1", "ping 1"});
    EXPECT_EQ(all(), (Lines{"", "Error (protocol version 2 required): protover 1",
                            "Error (protocol version 2 required): ping 1"}));
    EXPECT_EQ(uciLines(), (Lines{"quit", "quit"}));
    EXPECT_TRUE(control.quit);
}

TEST_F(XboardTest, TheStartupFileSetsOptions) {
    char directory[] = "/tmp/zelmora-xboard-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    char previous[PATH_MAX];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    const std::string path = std::string(directory) + "/Zelmora.ini";
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("setoption name Resign value 900\n# setoption name Hash value 9\n setoption name Hash value 8\n"
               "setoption name MultiPV value 2  \r\n",
               file);
    std::fclose(file);
    ASSERT_EQ(chdir(directory), 0);
    send({"xboard", "protover 2"});
    ASSERT_EQ(chdir(previous), 0);
    std::remove(path.c_str());
    rmdir(directory);

    Lines expected = {""};
    expected.insert(expected.end(), FEATURES.begin(), FEATURES.end());
    expected.push_back("feature done=1");
    EXPECT_EQ(all(), expected);
    EXPECT_EQ(uciLines(),
              (Lines{"debug on", "setoption name Resign value 900", "setoption name MultiPV value 2"}));
    EXPECT_EQ(session.resignThreshold, -9000);
}

TEST_F(XboardTest, SmallCommandsAnswerAsTheProtocolWants) {
    start();
    send({"ping 17", "ping", "bk", "rejected usermove", "accepted ping", "random", "otim 100", "rating 2000 1900",
          "computer", "exit", ".", "Go", "usermovex e2e4", "hello world"});
    EXPECT_EQ(all(), (Lines{"pong 17", "pong", "", "Error (not implemented): rejected usermove",
                            "Error (unknown command): .", "Error (unknown command): Go",
                            "Error (unknown command): usermovex e2e4", "Error (unknown command): hello world"}));
    EXPECT_TRUE(uciLines().empty());
}

TEST_F(XboardTest, CommandsBecomeUciLines) {
    start();
    send({"variant fischerandom", "variant normal", "name Some Body", "force", "?"});
    EXPECT_EQ(uciLines(), (Lines{"setoption name UCI_Chess960 value true", "setoption name UCI_Chess960 value false",
                                 "setoption name Opponent value Some Body", "setoption name NoOutput value true",
                                 "stop", "setoption name NoOutput value false", "stop"}));
    clearTranscript();
    send("new");
    EXPECT_EQ(uciLines(),
              (Lines{"setoption name NoOutput value true", "stop", "setoption name NoOutput value false",
                     "position startpos", "setoption name UCI_Chess960 value false",
                     "setoption name Clear Hash value true", "ucinewgame"}));
    EXPECT_FALSE(output.isSilent());
}

// These searches run in their own thread and are stopped before they could answer.
class XboardGoLine : public XboardTest {
protected:
    XboardGoLine() { control.blocking = false; }
    std::string goLine(std::initializer_list<const char*> lines) {
        clearTranscript();
        send(lines);
        send("force");
        std::string found;
        for (const std::string& line : uciLines()) {
            if (line.rfind("go", 0) == 0) found = line;
        }
        return found;
    }
};

TEST_F(XboardGoLine, LevelTimeAndIncrementReachTheGoLine) {
    start();
    EXPECT_EQ(goLine({"new", "force", "level 40 5 0", "time 12345", "otim 99", "go"}),
              "go wtime 123450 btime 123450 winc 0 binc 0 movestogo 40");
    EXPECT_EQ(lastPositionLine(), "position startpos");
    EXPECT_EQ(goLine({"new", "go"}), "go wtime 300000 btime 300000 winc 0 binc 0");  // a new game, a new clock
    EXPECT_EQ(goLine({"level 0 2:30 3", "usermove e2e4", "go"}), "go wtime 150000 btime 150000 winc 3000 binc 3000");
    EXPECT_EQ(lastPositionLine(), "position startpos moves e2e4 ");
    EXPECT_EQ(goLine({"st 2.5", "go"}), "go movetime 2500");
    EXPECT_EQ(goLine({"sd 60", "go"}), "go depth 60");
    // A new level lifts the fixed depth.
    EXPECT_EQ(goLine({"level 40 0:30 0 20 1 0", "time 3000", "go"}),
              "go wtime 30000 btime 30000 winc 0 binc 0 movestogo 40");
}

TEST_F(XboardGoLine, BadParametersChangeNothing) {
    start();
    send({"level 40 5", "level", "sd x", "st", "time", "usermove"});
    EXPECT_EQ(answers(), (Lines{"Error (bad parameters): level 40 5", "Error (bad parameters): level",
                                "Error (bad parameters): sd x", "Error (bad parameters): st",
                                "Error (bad parameters): time", "Error (bad parameters): usermove"}));
    EXPECT_EQ(goLine({"go"}), "go wtime 300000 btime 300000 winc 0 binc 0");
}

TEST_F(XboardGoLine, AbsurdClockFiguresAreBounded) {
    start();
    // Each once overran the go line's buffer or overflowed a conversion.
    EXPECT_EQ(goLine({"level 40 1 1e300 10 1 -1e300", "go"}),
              "go wtime 60000 btime 60000 winc 32000000000000 binc 32000000000000 movestogo 40");
    EXPECT_EQ(goLine({"time -99999999999999999999999", "go"}),
              "go wtime -32000000000000 btime -32000000000000 winc 32000000000000 binc 32000000000000 movestogo 40");
    EXPECT_EQ(goLine({"level 0 nan inf", "time 9223372036854775807", "go"}),
              "go wtime 32000000000000 btime 32000000000000 winc 32000000000000 binc 32000000000000");
    EXPECT_EQ(goLine({"st 1e300", "go"}), "go movetime 32000000000000");
    send({"st nan"});
    EXPECT_EQ(answers().back(), "Error (bad parameters): st nan");
}

TEST_F(XboardTest, QuitSilencesTheEngineAndWaitsForIt) {
    start();
    send({"quit"});
    EXPECT_EQ(uciLines(), (Lines{"setoption name NoOutput value true", "quit"}));
    EXPECT_TRUE(control.quit);
    EXPECT_TRUE(output.isSilent());
}

}  // namespace
}  // namespace zelmora::test
