#include <memory>

#include "board/kpk.h"
#include "eval/evaluator.h"
#include "recognizer_helpers.h"

namespace zelmora::test {
namespace {

class Recognizers : public testing::Test {
protected:
    const EndgameRecognizer& kind(const Position& pos) { return *registry.select(pos); }

    bool evaluate(const char* fen, int& value) {
        const Position pos = positionOf(fen);
        return kind(pos).evaluate(pos, value);
    }
    bool bound(const char* fen, int alpha, int beta, int depth, int& value, int& depthAdjust) {
        const Position pos = positionOf(fen);
        return kind(pos).bound(pos, value, alpha, beta, depth, depthAdjust);
    }
    bool cuts(const char* fen, int alpha, int beta, int& value) {
        int adjust = 0;
        return bound(fen, alpha, beta, 16, value, adjust);
    }
    int scale(const char* fen, int value) {
        const Position pos = positionOf(fen);
        evaluator->evaluate(pos);  // brings its pawn entry up to this position
        return kind(pos).scale(pos, *evaluator, value);
    }

    RecognizerRegistry registry;
    std::unique_ptr<Evaluator> evaluator = std::make_unique<Evaluator>();
};

TEST_F(Recognizers, DeadDrawsEndTheSearch) {
    int value = 555, adjust = 0;
    EXPECT_TRUE(evaluate("4k3/8/8/8/8/8/8/4K3 w - -", value));
    EXPECT_EQ(value, 0);
    value = 555;
    EXPECT_TRUE(evaluate("4k3/8/8/8/8/8/8/1N2K3 b - -", value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(bound("4k3/8/8/8/8/8/8/4K3 w - -", -100, 100, 37, value, adjust));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(adjust, -37);
}

TEST_F(Recognizers, TwoKnightsDrawAndCapTheDepth) {
    const char* fen = "4k3/8/8/8/8/8/8/1NN1K3 w - -";
    int value = 6000, adjust = 0;
    EXPECT_TRUE(evaluate(fen, value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(bound(fen, -100, 100, 40, value, adjust));
    EXPECT_EQ(adjust, 8 - 40);
    adjust = 3;
    EXPECT_FALSE(bound(fen, -100, 100, 8, value, adjust));
    EXPECT_EQ(adjust, 3);
}

TEST_F(Recognizers, KingPawnVsKingReadsTheTable) {
    // King on the sixth in front of its pawn wins with either side to move; a rook pawn with the
    // defender in the corner never does.
    const char* won = "4k3/8/4K3/4P3/8/8/8/8 w - -";
    const int entry = kpkProbe(20, 28, 4, true);
    ASSERT_GE(entry, 1);
    ASSERT_LE(entry, 125);
    int value = 0;
    EXPECT_TRUE(evaluate(won, value));
    EXPECT_EQ(value, 8772 - entry);
    EXPECT_TRUE(evaluate(mirror(won).c_str(), value));
    EXPECT_EQ(value, -(8772 - entry));
    EXPECT_TRUE(evaluate("k7/8/8/8/8/8/P7/K7 w - -", value));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(evaluate(mirror("k7/8/8/8/8/8/P7/K7 w - -").c_str(), value));
    EXPECT_EQ(value, -1);

    EXPECT_TRUE(cuts(won, 0, 8672, value));
    EXPECT_EQ(value, 8672);
    EXPECT_FALSE(cuts(won, 8672, 9000, value));
    EXPECT_TRUE(cuts("4k3/8/4K3/4P3/8/8/8/8 b - -", -8672, 0, value));  // the loser's view
    EXPECT_EQ(value, -8672);
    EXPECT_FALSE(cuts("4k3/8/4K3/4P3/8/8/8/8 b - -", -9000, -8673, value));

    const char* drawn = "k7/8/8/8/8/8/P7/K7 w - -";
    EXPECT_TRUE(cuts(drawn, -5, -2, value));
    EXPECT_EQ(value, -1);
    EXPECT_TRUE(cuts(drawn, 1, 5, value));
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(cuts(drawn, -1, 1, value));
}

TEST_F(Recognizers, MajorVsKingBoundsOnlyWithTheMajorSafe) {
    int value = 500;
    EXPECT_FALSE(evaluate("8/8/8/4k3/8/8/8/R3K3 w - -", value));
    EXPECT_EQ(value, 4500);

    EXPECT_TRUE(cuts("8/8/8/4k3/8/8/8/R3K3 w - -", 0, 6950, value));
    EXPECT_EQ(value, 6950);
    EXPECT_FALSE(cuts("8/8/8/4k3/8/8/8/R3K3 w - -", 0, 6951, value));
    EXPECT_TRUE(cuts("8/8/8/4k3/8/8/8/R3K3 b - -", -6950, 100, value));
    EXPECT_EQ(value, -6950);
    EXPECT_TRUE(cuts("8/8/8/4k3/8/8/8/3QK3 w - -", 0, 11772, value));
    EXPECT_EQ(value, 11772);
    EXPECT_FALSE(cuts("8/8/8/8/8/8/1k6/R3K3 w - -", 0, 100, value));   // the rook is attacked
    EXPECT_FALSE(cuts("8/8/8/8/8/8/R7/5K1k b - -", -6950, 0, value));  // stalemate
}

TEST_F(Recognizers, QueenVsRookAndEqualPiecesTrustOnlyClearPositions) {
    int value = 500, adjust = 0;
    EXPECT_FALSE(evaluate("3Q4/3K4/8/8/8/3k4/3r4/8 w - -", value));
    EXPECT_EQ(value, 3500);
    EXPECT_TRUE(cuts("3Q4/3K4/8/8/8/3k4/3r4/8 w - -", 0, 5822, value));
    EXPECT_EQ(value, 5822);
    EXPECT_FALSE(cuts("4k2r/8/8/8/8/8/8/3QK3 w - -", 0, 100, value));  // kings on the edge

    const char* clear = "3R4/3K4/8/8/8/3k4/3r4/8 w - -";
    EXPECT_TRUE(evaluate(clear, value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(bound(clear, -100, 100, 40, value, adjust));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(adjust, 0);

    const char* unclear = "8/3K4/8/8/8/3k4/3r4/3R4 w - -";  // the rooks attack each other
    const Position pos = positionOf(unclear);
    EXPECT_FALSE(kind(pos).evaluateQuiet(pos, value));
    EXPECT_FALSE(bound(unclear, -100, 100, 16, value, adjust));
    EXPECT_EQ(adjust, 0);
    EXPECT_FALSE(bound(unclear, -100, 100, 20, value, adjust));
    EXPECT_EQ(adjust, -4);
    EXPECT_FALSE(bound(unclear, -100, 100, 30, value, adjust));
    EXPECT_EQ(adjust, -8);
}

TEST_F(Recognizers, BishopKnightMateDrivesToTheBishopsCorner) {
    int right = 0, wrong = 0, value = 0;
    EXPECT_TRUE(evaluate("k7/8/8/8/3K4/3B4/8/6N1 w - -", right));  // light bishop, light a8
    EXPECT_TRUE(evaluate("8/8/8/8/3K4/3B4/8/k5N1 w - -", wrong));
    EXPECT_GT(right, wrong + 300);
    EXPECT_GT(wrong, 0);

    EXPECT_TRUE(cuts("k7/8/8/8/3K4/3B4/8/6N1 w - -", 0, 4105, value));
    EXPECT_EQ(value, 4105);
    EXPECT_FALSE(cuts("k7/8/8/8/3K4/3B4/8/7N w - -", 0, 4105, value));  // knight in the corner
    EXPECT_TRUE(cuts("k7/8/8/8/3K4/3B4/8/7N w - -", 0, 1, value));
    EXPECT_EQ(value, 1);
}

TEST_F(Recognizers, MinorAndPawnAgainstKing) {
    int value = 3000;
    EXPECT_TRUE(evaluate("k7/8/8/8/8/8/P7/2B1K3 w - -", value));  // dark bishop, light a8
    EXPECT_EQ(value, 1);
    value = 3000;
    EXPECT_FALSE(evaluate("k7/8/8/8/8/8/P7/3BK3 w - -", value));
    EXPECT_EQ(value, 3000);
    EXPECT_FALSE(evaluate("8/8/8/4k3/8/8/P7/2B1K3 w - -", value));  // the king is too far
    EXPECT_TRUE(cuts("8/8/8/4k3/8/8/P7/2B1K3 b - -", 0, 1, value));
    EXPECT_EQ(value, 0);
}

TEST_F(Recognizers, PawnAgainstMinorNeverLosesForThePawn) {
    int value = -2000;
    EXPECT_TRUE(evaluate("k7/8/8/8/8/8/P7/K5n1 w - -", value));  // the table's draw
    EXPECT_EQ(value, 1);
    value = -2000;
    EXPECT_FALSE(evaluate("8/8/8/8/8/4K3/4P3/k6n w - -", value));  // a table win, knight far off
    EXPECT_EQ(value, 300);
    EXPECT_TRUE(cuts("8/8/8/8/8/4K3/4P3/k6n w - -", -5, 0, value));
    EXPECT_EQ(value, 0);
}

TEST_F(Recognizers, RookAgainstMinorByTheDefendersPlacement) {
    const char* safe = "8/8/8/3kn3/8/8/8/R3K3 w - -";
    const char* lost = "k7/8/8/8/8/8/1R6/4K2n w - -";  // king in the corner, knight cut off
    int value = 0;
    EXPECT_TRUE(evaluate(safe, value));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(evaluate(lost, value));
    EXPECT_EQ(value, 10 * 10 * 33 + 1);  // corner 5, knight six steps away 6
    const Position pos = positionOf(lost);
    EXPECT_FALSE(kind(pos).evaluateQuiet(pos, value));
    EXPECT_TRUE(cuts(lost, -5, 0, value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(cuts(safe, -5, 0, value));

    EXPECT_TRUE(evaluate("4k1b1/8/8/8/8/8/8/1NN1K3 w - -", value));  // two knights
    EXPECT_EQ(value, 1);
}

TEST_F(Recognizers, RookMinorAgainstRookPawnCannotWinWithoutPawns) {
    const char* fen = "4k2r/p7/8/8/8/8/8/R1B1K3 w - -";
    int value = 700;
    EXPECT_FALSE(evaluate(fen, value));
    EXPECT_EQ(value, 100);
    EXPECT_EQ(scale(fen, 250), 0);
    EXPECT_EQ(scale(fen, -250), -250);
    const std::string mirrored = mirror(fen);
    EXPECT_EQ(scale(mirrored.c_str(), -250), 0);
    EXPECT_EQ(scale(mirrored.c_str(), 250), 250);
}

TEST_F(Recognizers, QueenAndMinorAgainstQueenUsesTheWeightedBalance) {
    int value = 0;
    EXPECT_TRUE(evaluate("3qk3/8/8/8/8/8/8/3QKN2 w - -", value));
    EXPECT_EQ(value, 3220 + 333 * 3220 / (12992 + 9772 + 100));
}

TEST_F(Recognizers, OppositeBishops) {
    const char* opposite = "4k3/1p6/8/2b5/8/3B4/1P6/4K3 w - -";
    EXPECT_EQ(scale(opposite, 400), 200);
    EXPECT_EQ(scale(opposite, 3000), 1000);
    EXPECT_EQ(scale(opposite, -3000), -1000);
    EXPECT_EQ(scale("4k3/1p6/8/2b5/8/3B4/P7/4K3 w - -", 400), 230);  // a2 shares the bishop's colour
    EXPECT_EQ(scale("4k3/1p6/2b5/8/8/3B4/1P6/4K3 w - -", 400), 400);  // same colours

    int value = 2000;
    EXPECT_TRUE(evaluate("4k3/8/8/2b5/8/3B4/4P3/4K3 w - -", value));  // c5 guards e3
    EXPECT_EQ(value, 1);
    value = 2000;
    EXPECT_FALSE(evaluate("7k/8/8/b7/8/3B4/4P3/6K1 w - -", value));
    EXPECT_EQ(value, 2000);
}

TEST_F(Recognizers, PawnEndings) {
    EXPECT_GE(scale("8/6p1/8/P7/8/8/6Pk/K7 w - -", 0), 3000);  // a5 outruns the king
    EXPECT_GE(scale("8/6p1/8/P3k3/8/8/6P1/K7 w - -", 0), 3000);
    EXPECT_LT(scale("8/6p1/8/P3k3/8/8/6P1/K7 b - -", 0), 1000);  // the king to move catches it
    EXPECT_LT(scale("8/6p1/8/8/8/8/P5P1/k6K b - -", 0), 1000);   // nor from behind
    EXPECT_LT(scale("8/8/8/P7/7p/8/8/K6k w - -", 0), 1000);      // both run: a race, not a win

    int value = 0, adjust = 0;
    EXPECT_FALSE(bound("8/8/8/8/8/1p6/2k4P/K7 w - -", -100, 100, 30, value, adjust));
    EXPECT_EQ(adjust, 7);
    adjust = 0;
    EXPECT_FALSE(bound("8/8/8/8/8/1p6/2k4P/6K1 w - -", -100, 100, 30, value, adjust));
    EXPECT_EQ(adjust, 0);
}

TEST_F(Recognizers, SmallerCorrections) {
    // A knight on the rim.
    EXPECT_EQ(scale("4k1n1/pp6/8/8/8/8/PP6/N3K3 w - -", 0) - scale("4k1n1/pp6/8/8/8/2N5/PP6/4K3 w - -", 0), -90);
    // A pawnless side a rook against a bishop and two pawns: three quarters of the balance go.
    const char* fen = "4k2r/8/8/8/8/8/PP6/2B1K3 w - -";
    EXPECT_EQ(scale(fen, 300), 300 - 3 * 310 / 4);
    EXPECT_EQ(scale(fen, 100), 0);
    EXPECT_EQ(scale(fen, -100), -100 - 3 * 310 / 4);
    EXPECT_EQ(scale("4k3/8/8/8/8/8/PP6/3qK3 w - -", 0), 0);  // a queen up is enough to win
}

// Every kind answers the colour-mirrored position alike: White-view values negate, values in the
// side to move's view stay.
TEST_F(Recognizers, AnswersAreColourSymmetric) {
    const char* const fens[] = {
        "4k3/8/8/8/8/8/8/4K3 w - -",             "4k3/8/8/8/8/8/8/1NN1K3 b - -",
        "4k3/8/4K3/4P3/8/8/8/8 w - -",           "k7/8/8/8/8/8/P7/K7 b - -",
        "8/8/8/4k3/8/8/8/R3K3 b - -",            "8/8/8/8/8/8/R7/5K1k b - -",
        "3Q4/3K4/8/8/8/3k4/3r4/8 w - -",         "3R4/3K4/8/8/8/3k4/3r4/8 b - -",
        "8/3K4/8/8/8/3k4/3r4/3R4 w - -",         "k7/8/8/8/3K4/3B4/8/7N b - -",
        "k7/8/8/8/3K4/3B4/8/6N1 w - -",          "k7/8/8/8/8/8/P7/2B1K3 w - -",
        "8/8/8/4k3/8/8/P7/2B1K3 b - -",          "8/8/8/8/8/4K3/4P3/k6n w - -",
        "k7/8/8/8/8/8/P7/K5n1 b - -",            "k7/8/8/8/8/8/1R6/4K2n w - -",
        "8/8/8/3kn3/8/8/8/R3K3 b - -",           "4k1b1/8/8/8/8/8/8/1NB1K3 w - -",
        "4k2r/8/8/8/8/8/8/1NB1K3 b - -",         "4k2r/p7/8/8/8/8/8/R1B1K3 w - -",
        "4k3/p7/8/8/8/8/8/R3K1n1 b - -",         "4k2r/8/8/8/8/8/P7/R3K3 w - -",
        "7k/6r1/8/8/8/8/8/RN2K3 b - -",          "3qk3/8/8/8/8/8/8/3QKN2 w - -",
        "4k3/p7/8/4N3/8/8/8/1N2K3 b - -",        "4k3/8/p7/N7/8/8/8/1N2K3 w - -",
        "8/6p1/8/P7/8/8/6Pk/K7 w - -",           "8/8/8/8/8/1p6/2k4P/K7 w - -",
        "4k3/1p6/8/2b5/8/3B4/P7/4K3 b - -",      "4k3/8/8/2b5/8/3B4/4P3/4K3 w - -",
        "4k1n1/pp6/8/8/8/8/PP6/N3K3 w - -",      "4kb2/p1p5/8/8/8/8/6PP/1N2K3 b - -",
        "3qk3/pp6/8/8/8/8/PP6/3QK3 w - -",       "4k2r/8/8/8/8/8/PP6/2B1K3 b - -",
        "4k3/p7/8/8/8/8/PP6/2B1K3 w - -",
    };
    const int windows[][2] = {{-500001, 500001}, {0, 1}, {-1, 0}, {-3, -1}, {1, 3}, {6000, 6001},
                              {-6001, -6000}, {8000, 8001}, {-9000, -8000}, {-100, 100}};
    for (const char* fen : fens) {
        const Position a = positionOf(fen);
        const Position b = positionOf(mirror(fen));
        const EndgameRecognizer& x = kind(a);
        const EndgameRecognizer& y = kind(b);
        SCOPED_TRACE(fen);
        ASSERT_EQ(mirrorName(x.name()), y.name());
        for (int material : {1234, -777, 0}) {
            int u = material, v = -material;
            EXPECT_EQ(x.evaluate(a, u), y.evaluate(b, v));
            EXPECT_EQ(u, -v);
        }
        int u = 11, v = 11;
        EXPECT_EQ(x.evaluateQuiet(a, u), y.evaluateQuiet(b, v));
        EXPECT_EQ(u, v);
        for (const auto& w : windows)
            for (int depth : {4, 20, 40}) {
                int ua = 0, va = 0;
                u = v = 13;
                EXPECT_EQ(x.bound(a, u, w[0], w[1], depth, ua), y.bound(b, v, w[0], w[1], depth, va));
                EXPECT_EQ(u, v);
                EXPECT_EQ(ua, va);
            }
        for (int value : {420, -3100, 0}) {
            evaluator->evaluate(a);
            const int p = x.scale(a, *evaluator, value);
            evaluator->evaluate(b);
            EXPECT_EQ(p, -y.scale(b, *evaluator, -value));
        }
    }
}

}  // namespace
}  // namespace zelmora::test
