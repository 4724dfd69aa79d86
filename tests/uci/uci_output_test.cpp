#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "board/notation.h"
#include "control/time_budget.h"
#include "search/engine.h"
#include "search/standalone_search.h"
#include "search/score.h"
#include "support/captured_file.h"
#include "support/chess.h"
#include "uci/score_text.h"
#include "uci/uci_output.h"
#include "util/platform.h"

namespace zelmora::test {
namespace {

class UciOutputTest : public ::testing::Test {
protected:
    UciOutputTest() {
        engine.clock = &clock;
        clock.start();
        output.setRootPosition(game.position);
    }

    // The moves one after another from the engine's position.
    PrincipalVariation line(std::initializer_list<const char*> moves) {
        PrincipalVariation pv;
        Position pos = game.position;
        for (const char* text : moves) EXPECT_TRUE(playLine(pos, {pv.moves[pv.length++] = parseMove(pos, text)}));
        return pv;
    }

    void expectLines(const std::vector<std::string>& patterns) {
        auto lines = out.lines();
        ASSERT_EQ(lines.size(), patterns.size()) << out.text();
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_TRUE(std::regex_match(lines[i], std::regex(patterns[i]))) << lines[i];
    }

    StandaloneSearch search;
    Engine& engine = search.engine;
    GameRecord& game = search.shared.game;
    TimeLimits clock;
    test::CapturedFile out;
    UciOutput output{&clock, out.get()};
};

TEST_F(UciOutputTest, PvLinesShowTheFirstIterationAndOtherwiseWaitOrNeedDebug) {
    engine.pv = line({"e2e4", "e7e5", "g1f3"});
    engine.firstIteration = true;
    engine.selectiveDepth = 4;
    engine.nodes = 250;
    search.shared.settings.threadCount = 4;
    output.pvLine(engine, 15, -WINDOW_END, WINDOW_END);
    engine.firstIteration = false;
    engine.iterationDepth = 3;
    engine.selectiveDepth = 1;
    output.pvLine(engine, -20, -30, 40);  // early and not the first iteration
    output.setDebug(true);
    output.pvLine(engine, -30, -30, 40);
    expectLines({"info depth 1 seldepth 5 time \\d+ nodes 1000 pv e2e4 e7e5 g1f3 score cp 2 hashfull 0 nps \\d+",
                 "info depth 4 seldepth 4 time \\d+ nodes 1000 pv e2e4 e7e5 g1f3 score cp -3 upperbound "
                 "hashfull 0 nps \\d+"});
}

TEST_F(UciOutputTest, MovesAreWrittenAgainstTheRootCopyWithItsChess960Flag) {
    ASSERT_TRUE(game.setFen("4k3/8/8/8/8/8/8/4K2R w K - 0 1"));
    PrincipalVariation pv = line({"h1h2", "e8d8", "h2h1"});
    PrincipalVariation castle = line({"e1g1"});
    game.position.chess960Castling = 1;
    output.setRootPosition(game.position);
    game.newGame();  // later changes to the game do not reach the copy
    output.multiPvLine(engine, 2, pv, 499999, -WINDOW_END, WINDOW_END);
    output.bestMove(engine, &castle.moves[0], nullptr);
    expectLines({"info multipv 2 depth 1 seldepth 1 score mate 1 pv h1h2 e8d8 h2h1", "bestmove O-O"});
}

TEST_F(UciOutputTest, BestMoveWithPonderAloneOrNone) {
    PrincipalVariation pv = line({"e2e4", "c7c5"});
    output.bestMove(engine, &pv.moves[0], &pv.moves[1]);
    output.bestMove(engine, &pv.moves[0], nullptr);
    output.bestMove(engine, nullptr, nullptr);
    output.setDebug(true);
    output.bestMove(engine, nullptr, nullptr);
    expectLines({"bestmove e2e4 ponder c7c5", "bestmove e2e4", "info string Kein Zug berechnet"});
}

TEST_F(UciOutputTest, SearchFinishedReportsTheLastCompletedIteration) {
    engine.iterationDepth = 7;
    engine.selectiveDepth = 12;
    engine.nodes = 5000;
    engine.lastScore = -499996;
    output.searchFinished(engine);
    expectLines({"info depth 7 seldepth 13 time \\d+ nodes 5000 hashfull 0 nps \\d+ score mate -2"});
}

TEST_F(UciOutputTest, MessagesNeedDebugModeAndSilenceStopsEverything) {
    output.debugMessage("hidden", "detail");
    output.infoString("shown");
    output.setDebug(true);
    output.debugMessage("visible", "the line");
    output.setSilent(true);
    output.printLine("readyok");
    output.infoString("gone");
    output.setSilent(false);
    output.printLine("readyok");
    expectLines({"info string shown", "info string visible the line", "readyok"});
}

std::string scoreText(int score, int alpha = -WINDOW_END, int beta = WINDOW_END) {
    char buffer[64];
    formatScore(buffer, sizeof buffer, score, alpha, beta);
    return buffer;
}

TEST(ScoreText, MatesCountMovesAndCentipawnsRoundAwayFromZero) {
    const std::pair<int, const char*> cases[] = {
        {499999, "mate 1"}, {499998, "mate 1"},   {499997, "mate 2"},     {-499999, "mate -1"},
        {-499998, "mate -1"}, {-499996, "mate -2"}, {400001, "mate 50000"}, {400000, "cp 40000"},
        {-400000, "cp -40000"}, {15, "cp 2"},       {-15, "cp -2"},         {10, "cp 1"},
        {11, "cp 2"},         {2, "cp 1"},          {-2, "cp -1"},          {1, "cp 0"},
        {0, "cp 0"},          {-1, "cp 0"},
    };
    for (const auto& [score, text] : cases) EXPECT_EQ(scoreText(score), std::string(" score ") + text) << score;
}

TEST(ScoreText, BoundsFollowTheWindowEdgesInclusively) {
    EXPECT_EQ(scoreText(300, 100, 300), " score cp 30 lowerbound");
    EXPECT_EQ(scoreText(100, 100, 300), " score cp 10 upperbound");
    EXPECT_EQ(scoreText(50, 100, 300), " score cp 5 upperbound");
    EXPECT_EQ(scoreText(299, 100, 300), " score cp 30");
    EXPECT_EQ(scoreText(200, 200, 200), " score cp 20 lowerbound");  // a null window fails high first
    EXPECT_EQ(scoreText(499999, -WINDOW_END, 499999), " score mate 1 lowerbound");
}

}  // namespace
}  // namespace zelmora::test
