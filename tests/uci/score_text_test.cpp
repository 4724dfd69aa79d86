#include "uci/score_text.h"

#include <gtest/gtest.h>

#include <string>

#include "search/score.h"

namespace zelmora {
namespace {

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
}  // namespace zelmora
