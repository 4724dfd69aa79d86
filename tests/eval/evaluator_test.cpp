#include <gtest/gtest.h>

#include <memory>

#include "eval/eval_test_support.h"
#include "eval/evaluator.h"

namespace zelmora::test {
namespace {

class EvaluatorTest : public ::testing::Test {
protected:
    int eval(const std::string& fen) { return evaluator->evaluate(test::positionOf(fen)); }
    std::unique_ptr<Evaluator> evaluator = std::make_unique<Evaluator>();
};

TEST_F(EvaluatorTest, StartPositionIsTheTempoMovedAwayFromZero) {
    // Far above the middlegame threshold, so t is the middlegame sum: tempo 33, then one unit more.
    EXPECT_EQ(eval("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"), 34);
    EXPECT_EQ(eval("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -"), 34);
    EXPECT_EQ(evaluator->material.currentScore(), 0);
}

TEST_F(EvaluatorTest, KingAndPawnsWithoutAMoveIsStalemate) {
    // Kh1 boxed in by Kf2 and its own h2 pawn, which h3 blocks; and the same for Black.
    EXPECT_EQ(eval("8/8/8/8/8/7p/5k1P/7K w - -"), 0);
    EXPECT_EQ(eval("7k/5K1p/7P/8/8/8/8/8 b - -"), 0);
    // En passant is not looked at: exd6 is legal, yet the rule still answers 0.
    EXPECT_EQ(eval("8/8/4p3/3pP3/8/7p/5k1P/7K w - d6"), 0);
    // A capture or a pawn step is a move; a check is no stalemate.
    EXPECT_NE(eval("8/8/8/8/8/6bp/5k1P/7K w - -"), 0);
    EXPECT_NE(eval("8/8/8/8/P7/7p/5k1P/7K w - -"), 0);
    EXPECT_NE(eval("8/8/8/8/4b3/7p/5k1P/7K w - -"), 0);
}

TEST_F(EvaluatorTest, PawnlessEqualMaterialIsAThirdOfTheKingBalance) {
    // Kings e4 and a8. White as the stronger side: 21 (3 - 2 x 8) + 62 x 6 - 16 x 4 = 35; Black as
    // the stronger side: 21 (0 - 16) - 64 = -400. r = (35 + 400) / 3 = 145, and 3 for the mover.
    EXPECT_EQ(eval("kb6/1r6/8/8/4K3/8/6RB/8 w - -"), 148);
    EXPECT_EQ(eval("kb6/1r6/8/8/4K3/8/6RB/8 b - -"), 3 - 145);
}

TEST_F(EvaluatorTest, PawnlessStrongerSideGainsAsTheWeakKingNearsTheEdge) {
    // Queen and knight against bishop and knight; the kings keep two ranks apart on the d-file while
    // Black's king walks from d5 to d8: each step adds 21 + 62.
    const char* const walk[] = {"8/8/7b/3k4/8/3K4/N6n/Q7 w - -", "8/8/3k3b/8/3K4/8/N6n/Q7 w - -",
                                "8/3k4/7b/3K4/8/8/N6n/Q7 w - -", "3k4/8/3K3b/8/8/8/N6n/Q7 w - -"};
    for (int i = 1; i < 4; ++i) EXPECT_EQ(eval(walk[i]) - eval(walk[i - 1]), 83) << walk[i];
    // One step farther apart costs 2 x 21 + 16.
    EXPECT_EQ(eval("k7/8/2K4b/8/8/8/N6n/Q7 w - -") - eval("k7/8/7b/2K5/8/8/N6n/Q7 w - -"), 58);
    // r + 3 for White to move, 3 - r for Black.
    EXPECT_EQ(eval(walk[0]) + eval("8/8/7b/3k4/8/3K4/N6n/Q7 b - -"), 6);
    EXPECT_GT(eval(walk[0]), 5000);
}

TEST_F(EvaluatorTest, CachesNeverChangeAResult) {
    const auto fens = test::gamePositions();
    std::vector<int> cold;
    for (const auto& fen : fens) {
        evaluator->clearCaches();
        cold.push_back(eval(fen));
    }
    // Warm, in reverse order, and again after other positions have displaced entries.
    for (std::size_t i = fens.size(); i-- > 0;) ASSERT_EQ(eval(fens[i]), cold[i]) << fens[i];
    for (const auto& fen : test::randomWalkPositions(7, 10, 120)) eval(fen);
    for (std::size_t i = 0; i < fens.size(); ++i) ASSERT_EQ(eval(fens[i]), cold[i]) << fens[i];
}


class Symmetry : public ::testing::Test {
protected:
    void check(const std::string& fen) {
        const Position pos = positionOf(fen);
        const int value = evaluator->evaluate(pos);
        ASSERT_EQ(value, evaluator->evaluate(positionOf(mirror(fen)))) << fen << "\n" << mirror(fen);
        if (pos.castlingRights() == 0) {
            ASSERT_EQ(value, evaluator->evaluate(positionOf(mirror(fen, true)))) << fen << "\n" << mirror(fen, true);
            ++wingMirrored;
        }
        const int total = pos.side(WHITE).materialSum + pos.side(BLACK).materialSum;
        const bool pawns = (pos.side(WHITE).pieces[PAWN] | pos.side(BLACK).pieces[PAWN]) != 0;
        ++(total >= 44384 ? middlegame : total > 28000 ? blended : pawns ? ending : pawnless);
    }
    void checkAll(const std::vector<std::string>& fens) {
        for (const std::string& fen : fens) {
            check(fen);
            if (HasFatalFailure()) return;
        }
    }

    std::unique_ptr<Evaluator> evaluator = std::make_unique<Evaluator>();
    int wingMirrored = 0, middlegame = 0, blended = 0, ending = 0, pawnless = 0;
};

TEST_F(Symmetry, RandomGamesFromClassicalAndChess960Starts) {
    checkAll(test::randomWalkPositions(20241205, 60, 160));
    // The walks must keep reaching every stage of the evaluation, or this test loses its teeth.
    EXPECT_GT(wingMirrored, 1000);
    EXPECT_GT(middlegame, 1000);
    EXPECT_GT(blended, 500);
    EXPECT_GT(ending, 500);
    EXPECT_GT(pawnless, 20);
}

TEST_F(Symmetry, PositionsFromRealGames) {
    const auto fens = test::gamePositions();
    ASSERT_GT(fens.size(), 500u);
    checkAll(fens);
    EXPECT_GT(ending, 50);
}

TEST_F(Symmetry, RareSquaresAndSpecialEndings) {
    checkAll({
        "4k3/B1p5/1p6/8/8/8/8/4K3 w - -",       // bishops caught on a7 and h7
        "4k3/5p1B/6p1/8/8/8/8/4K3 b - -",
        "b3k3/1p6/2p5/8/8/2P5/1P6/B3K3 b - -",  // bishops shut in on a1 and a8
        "4k2b/6p1/6p1/8/8/6P1/6P1/4K2B w - -",
        "4k2b/6p1/8/8/8/8/6P1/4K2B w - -",      // cornered behind one pawn
        "4k3/1P6/8/8/8/8/8/4K2R w - -",         // passer on the seventh
        "6k1/R4ppp/8/8/8/8/5PPP/6K1 w - -",     // rook on the seventh
        "8/8/4p3/3pP3/8/7p/5k1P/7K w - d6",     // stalemate but for en passant
        "8/8/8/8/P7/7p/5k1P/7K w - -",          // boxed king, a pawn can still move
        "kb6/1r6/8/8/4K3/8/6RB/8 b - -",        // pawnless, equal material
        "8/8/7b/3k4/8/3K4/N6n/Q7 b - -",        // pawnless, White stronger
        "k7/8/8/3q4/8/8/6PP/5RK1 b - -",        // queen against an uncastled shelter
    });
}

}  // namespace
}  // namespace zelmora::test
