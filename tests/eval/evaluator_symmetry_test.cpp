// Colour and wing symmetry of the static evaluation: a position and its mirrored twin must score
// the same from the side to move's view; any difference points at a sign or square-index fault.

#include <gtest/gtest.h>

#include <memory>

#include "eval/eval_test_support.h"
#include "eval/evaluator.h"

namespace zelmora {
namespace {

using test::mirror;
using test::positionOf;

class Symmetry : public ::testing::Test {
protected:
    void check(const std::string& fen) {
        const Position pos = positionOf(fen);
        const int value = evaluator->evaluate(pos);
        ASSERT_EQ(value, evaluator->evaluate(positionOf(mirror(fen)))) << fen << "\n" << mirror(fen);
        if (pos.castlingRights == 0) {
            ASSERT_EQ(value, evaluator->evaluate(positionOf(mirror(fen, true)))) << fen << "\n" << mirror(fen, true);
            ++wingMirrored;
        }
        const int total = pos.side[WHITE].materialSum + pos.side[BLACK].materialSum;
        const bool pawns = (pos.side[WHITE].pieces[PAWN] | pos.side[BLACK].pieces[PAWN]) != 0;
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
}  // namespace zelmora
