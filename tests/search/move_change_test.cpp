#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "board/notation.h"
#include "neural/network.h"
#include "search/move_change.h"
#include "support/protocol_fixture.h"
#include "support/temp_file.h"

namespace zelmora::test {
namespace {

PrincipalVariation line(const Position& start, const std::vector<const char*>& moves) {
    PrincipalVariation pv;
    Position pos = start;
    UndoRecord undo;
    for (const char* text : moves) {
        Move m;
        EXPECT_TRUE(textToMove(pos, text, m, true)) << text;
        EXPECT_TRUE(pos.makeLegal(m, undo));
        pv.moves[pv.length++] = m;
    }
    return pv;
}

Position positionOf(const char* fen) {
    GameRecord game;
    EXPECT_TRUE(game.setFen(fen));
    return game.position;
}

TEST(MoveChange, FeaturesCompareTheLinesAndDescribeTheNewOne) {
    // 1.e4 d5: the new line takes at once, the old one first played Nc3 Nf6.
    const Position root = positionOf("rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 2");
    const PrincipalVariation current = line(root, {"e4d5", "d8d5", "b1c3", "d5a5", "d2d4"});
    const PrincipalVariation previous = line(root, {"b1c3", "g8f6", "e4d5", "d8d5", "d2d4"});
    double x[MOVE_CHANGE_INPUTS];
    moveChangeFeatures({&previous, &current, &root, -300, 15000 * 3, true, 30}, x);

    const double expected[39] = {
        0, 0, 0, 0, 1,     // equal moves at 0..4: only the fifth (d2d4)
        1, 1, 0, 1, 0, 0,  // shifted by a move pair: b1c3, e4d5, d8d5
        1, 0, 0, 0,     // captures at 1..4: d8d5
        0,              // root not in check
        0, 0, 0, 0, 0,  // no checks along the line
        1, 0, 0, 0, 0, 0,  // C[0] moves a pawn
        0, 0, 0, 0, 1, 0,  // C[1] moves the queen
        1, 0, 0, 0, 0,  // C[0] takes a pawn
        1};             // changed back
    for (int i = 0; i < 39; ++i) EXPECT_EQ(x[i], expected[i]) << "input " << i;
    EXPECT_NEAR(x[39], 1 / (1 + std::exp(0.3)), 1e-12);
    EXPECT_NEAR(x[40], 1 / (1 + std::exp(-15.0)), 1e-12) << "scores are clamped to 15000";
    EXPECT_DOUBLE_EQ(x[41], 0.75);
}

class TimeLog : public test::ProtocolTest {
protected:
    // In blocking mode the search runs in this thread: its results can be read at once.
    void searchToDepth(int depth) {
        out.clear();
        send("setoption name blocking value true");
        send("go depth " + std::to_string(depth));
    }
    int announcements() const {
        int n = 0;
        for (const std::string& l : lines()) n += l.find("Best move will change with") != std::string::npos;
        return n;
    }
    std::vector<std::string> logLines(const test::TempFile& file) const {
        std::ifstream in(file.path());
        std::vector<std::string> result;
        for (std::string l; std::getline(in, l);) result.push_back(l);
        return result;
    }
};

TEST_F(TimeLog, LinesAreWrittenForOrdinarySearchesAndTheGuessIsAnnounced) {
    test::TempFile file;
    send("setoption name Zeitprotokolldatei value " + file.path());
    send("position fen r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 0 8");
    searchToDepth(8);
    const auto written = logLines(file);
    ASSERT_FALSE(written.empty());
    for (const std::string& l : written) {
        std::istringstream in(l);
        int tokens = 0;
        std::string t, last;
        while (in >> t) ++tokens, last = t;
        EXPECT_EQ(tokens, 44) << l;
        EXPECT_TRUE(last == "0" || last == "1") << l;
    }
    EXPECT_GT(announcements(), 0);

    // A won ending with its own recognizer teaches nothing about time.
    test::TempFile ending;
    send("setoption name Zeitprotokolldatei value " + ending.path());
    send("position fen 8/8/8/4k3/8/8/3QK3/8 w - - 0 1");
    searchToDepth(7);
    EXPECT_TRUE(logLines(ending).empty());
}

TEST_F(TimeLog, NoLogNoAnnouncementAndNoGuessWithSeveralLines) {
    send("position fen r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 0 8");
    send("setoption name Zeitprotokolldatei value nul:");
    searchToDepth(6);
    EXPECT_EQ(announcements(), 0);

    test::TempFile file;
    send("setoption name Zeitprotokolldatei value " + file.path());
    send("setoption name MultiPV value 2");
    searchToDepth(6);
    EXPECT_EQ(announcements(), 0);
    EXPECT_DOUBLE_EQ(engine.changePercent, 20.0) << "no guess with MultiPV";
    EXPECT_TRUE(logLines(file).empty());
}

}  // namespace
}  // namespace zelmora::test
