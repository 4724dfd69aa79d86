
#include <memory>

#include "board/kpk.h"
#include "eval/evaluator.h"
#include "eval_test_support.h"

namespace zelmora::test {
namespace {

struct Case {
    const char* fen;
    const char* kind;
};

// One position per rule, White's version; each is also checked colour-mirrored.
const Case CASES[] = {
    // Six men.
    {"4k2r/p7/8/8/8/8/8/R1B1K3 w - -", "RookMinorVsRookPawn/+100"},
    {"4k3/p7/8/8/8/8/PP6/2B1K3 w - -", "MinorPawnVsKing/White"},
    {"4k3/8/8/8/8/8/PPP5/2B1K3 w - -", "MinorPawnVsKing/White"},
    {"4k3/p7/8/8/8/8/PP6/1N2K3 w - -", "Default"},  // a knight with the three pawns: no rule
    {"4k3/8/8/8/8/8/8/RNBQK3 w - -", "Default"},
    // Five men.
    {"4k2r/8/8/8/8/8/P7/R3K3 w - -", "RookPawnVsRook/White"}, {"4k2r/8/8/8/8/8/8/RN2K3 w - -", "RookMinorVsRook/White"},
    {"4k2r/8/8/8/8/8/8/R2QK3 w - -", "Default"}, {"4k3/8/8/8/8/8/8/RNB1K3 w - -", "Default"},
    {"4k3/p7/8/8/8/8/8/R3K1n1 w - -", "RookMinorVsRookPawn/+100"},
    {"3qk1n1/8/8/8/8/8/8/3QK3 w - -", "QueenMinorVsQueen"},
    {"4k1n1/8/8/8/8/8/8/1NB1K3 w - -", "TwoMinorsVsPiece/White"},
    {"4kb2/p7/8/8/8/8/P7/4K3 w - -", "MinorPawnVsKing/Black"},
    {"4kb2/pp6/8/8/8/8/8/4K3 w - -", "MinorPawnVsKing/Black"},
    {"4k2r/8/8/8/8/8/8/1NB1K3 w - -", "TwoMinorsVsPiece/White"},
    {"4k3/p7/8/8/8/8/8/1NN1K3 w - -", "TwoKnightsVsPawn/White"}, {"4k3/p7/8/8/8/8/8/1NB1K3 w - -", "OneSidePawns"},
    {"4kb2/8/8/8/8/8/P7/1N2K3 w - -", "BishopVsKnight"},
    // Four men.
    {"4kb2/8/8/8/8/8/8/1N2K3 w - -", "DeadDraw"}, {"4k2r/8/8/8/8/8/8/R3K3 w - -", "EqualPieces"},
    {"3qk3/8/8/8/8/8/8/3QK3 w - -", "EqualPieces"}, {"4k2r/8/8/8/8/8/8/3QK3 w - -", "QueenVsRook/White"},
    {"4kb2/8/8/8/8/8/8/R3K3 w - -", "RookVsMinor/White"}, {"4k1n1/8/8/8/8/8/P7/4K3 w - -", "PawnVsMinor/White"},
    {"4k1n1/8/8/8/8/8/8/3QK3 w - -", "Default"}, {"4k3/p7/8/8/8/8/8/R3K3 w - -", "OneSidePawns"},
    {"4k3/p7/8/8/8/8/P7/4K3 w - -", "PawnEnding"}, {"4k3/8/8/8/8/8/8/1NN1K3 w - -", "TwoKnights"},
    {"4k3/8/8/8/8/8/8/1NB1K3 w - -", "BishopKnightMate/White"},
    {"4k3/8/8/8/8/8/P7/1N2K3 w - -", "MinorPawnVsKing/White"}, {"4k3/8/8/8/8/8/8/2BBK3 w - -", "Default"},
    // Three and two men.
    {"4k3/8/8/8/8/8/8/1N2K3 w - -", "DeadDraw"}, {"4k3/8/8/8/8/8/P7/4K3 w - -", "KingPawnVsKing/White"},
    {"4k3/8/8/8/8/8/8/R3K3 w - -", "MajorVsKing/White"}, {"4k3/8/8/8/8/8/8/3QK3 w - -", "MajorVsKing/White"},
    {"4k3/8/8/8/8/8/8/4K3 w - -", "DeadDraw"},
    // Any material.
    {"4k3/pp6/8/8/8/8/PPP5/4K3 w - -", "PawnEnding"}, {"4kb2/pp6/8/8/8/8/PP6/2B1K3 w - -", "BishopVsBishop"},
    {"4k1n1/pp6/8/8/8/8/PP6/1N2K3 w - -", "KnightVsKnight"}, {"4kb2/pp6/8/8/8/8/PP6/1N2K3 w - -", "BishopVsKnight"},
    {"3qk3/pp6/8/8/8/8/PP6/3QK3 w - -", "QueenVsQueen"}, {"4k2r/pp6/8/8/8/8/PP6/R3K3 w - -", "Default"},
    {"4k2r/8/8/8/8/8/PP6/R3K3 w - -", "OneSidePawns"}, {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -", "Default"},
};

class Recognizers : public testing::Test {
protected:
    const EndgameRecognizer& kind(const Position& pos) { return *registry.select(pos); }

    bool evaluate(const std::string& fen, int& value) {
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
    int scale(const std::string& fen, int value) {
        const Position pos = positionOf(fen);
        evaluator->evaluate(pos);  // brings its pawn entry up to this position
        return kind(pos).scale(pos, *evaluator, value);
    }

    RecognizerRegistry registry;
    std::unique_ptr<Evaluator> evaluator = std::make_unique<Evaluator>();
};

// evaluate(): whether the kind settles the position, and the value it leaves (given one to start from).
TEST_F(Recognizers, EvaluateSettlesKnownEndings) {
    const struct {
        const char* fen;
        int start;
        bool settled;
        int value;
    } cases[] = {
        {"4k3/8/8/8/8/8/8/4K3 w - -", 555, true, 0},                // dead draws
        {"4k3/8/8/8/8/8/8/1N2K3 b - -", 555, true, 0},
        {"4k3/8/8/8/8/8/8/1NN1K3 w - -", 6000, true, 0},            // two knights cannot mate
        {"4k3/8/4K3/4P3/8/8/8/8 w - -", 0, true, 8772 - kpkProbe(20, 28, 4, true)},
        {"k7/8/8/8/8/8/P7/K7 w - -", 0, true, 1},                   // the rook pawn's draw
        {"8/8/8/4k3/8/8/8/R3K3 w - -", 500, false, 4500}, {"3Q4/3K4/8/8/8/3k4/3r4/8 w - -", 500, false, 3500},
        {"3R4/3K4/8/8/8/3k4/3r4/8 w - -", 500, true, 0},            // equal rooks, nothing hangs
        {"k7/8/8/8/8/8/P7/2B1K3 w - -", 3000, true, 1},             // dark bishop, light a8
        {"k7/8/8/8/8/8/P7/3BK3 w - -", 3000, false, 3000},
        {"8/8/8/4k3/8/8/P7/2B1K3 w - -", 3000, false, 3000},        // the king is too far
        {"k7/8/8/8/8/8/P7/K5n1 w - -", -2000, true, 1},
        {"8/8/8/8/8/4K3/4P3/k6n w - -", -2000, false, 300},         // a table win, knight far off
        {"8/8/8/3kn3/8/8/8/R3K3 w - -", 0, true, 1},
        {"k7/8/8/8/8/8/1R6/4K2n w - -", 0, true, 10 * 10 * 33 + 1},  // corner 5, knight six steps away 6
        {"4k1b1/8/8/8/8/8/8/1NN1K3 w - -", 0, true, 1}, {"4k2r/p7/8/8/8/8/8/R1B1K3 w - -", 700, false, 100},
        {"3qk3/8/8/8/8/8/8/3QKN2 w - -", 0, true, 3220 + 333 * 3220 / (12992 + 9772 + 100)},
        {"4k3/8/8/2b5/8/3B4/4P3/4K3 w - -", 2000, true, 1},         // c5 guards e3
        {"7k/8/8/b7/8/3B4/4P3/6K1 w - -", 2000, false, 2000},
    };
    for (const auto& c : cases) {
        int value = c.start;
        EXPECT_EQ(evaluate(c.fen, value), c.settled) << c.fen;
        EXPECT_EQ(value, c.value) << c.fen;
    }
    int value = 0;
    EXPECT_TRUE(evaluate(mirror("4k3/8/4K3/4P3/8/8/8/8 w - -"), value));
    EXPECT_EQ(value, -(8772 - kpkProbe(20, 28, 4, true)));
    // A defending rook behind the passed pawn is worth most.
    int behind = 0, beside = 0;
    EXPECT_FALSE(evaluate("4k3/8/8/8/8/8/P3K3/r6R w - -", behind));
    EXPECT_FALSE(evaluate("4k3/8/8/8/8/8/P3K3/1r5R w - -", beside));
    EXPECT_EQ(behind - beside, -150);
    int right = 0, wrong = 0;
    EXPECT_TRUE(evaluate("k7/8/8/8/3K4/3B4/8/6N1 w - -", right));  // the bishop's corner
    EXPECT_TRUE(evaluate("8/8/8/8/3K4/3B4/8/k5N1 w - -", wrong));
    EXPECT_GT(right, wrong + 300);
    EXPECT_GT(wrong, 0);
}

// bound() in a window: whether it cuts, at which value.
TEST_F(Recognizers, BoundsCutOnlyWhereTheResultIsClear) {
    const struct {
        const char* fen;
        int alpha, beta;
        bool cut;
        int value;
    } cases[] = {
        {"4k3/8/4K3/4P3/8/8/8/8 w - -", 0, 8672, true, 8672}, {"4k3/8/4K3/4P3/8/8/8/8 w - -", 8672, 9000, false, 0},
        {"4k3/8/4K3/4P3/8/8/8/8 b - -", -8672, 0, true, -8672},  // the loser's view
        {"k7/8/8/8/8/8/P7/K7 w - -", -5, -2, true, -1}, {"k7/8/8/8/8/8/P7/K7 w - -", 1, 5, true, 1},
        {"k7/8/8/8/8/8/P7/K7 w - -", -1, 1, false, 0}, {"8/8/8/4k3/8/8/8/R3K3 w - -", 0, 6950, true, 6950},
        {"8/8/8/4k3/8/8/8/R3K3 w - -", 0, 6951, false, 0}, {"8/8/8/4k3/8/8/8/R3K3 b - -", -6950, 100, true, -6950},
        {"8/8/8/4k3/8/8/8/3QK3 w - -", 0, 11772, true, 11772},
        {"8/8/8/8/8/8/1k6/R3K3 w - -", 0, 100, false, 0},     // the rook is attacked
        {"8/8/8/8/8/8/R7/5K1k b - -", -6950, 0, false, 0},    // stalemate
        {"3Q4/3K4/8/8/8/3k4/3r4/8 w - -", 0, 5822, true, 5822},
        {"4k2r/8/8/8/8/8/8/3QK3 w - -", 0, 100, false, 0},    // kings on the edge
        {"k7/8/8/8/3K4/3B4/8/6N1 w - -", 0, 4105, true, 4105},
        {"k7/8/8/8/3K4/3B4/8/7N w - -", 0, 4105, false, 0},   // knight in the corner
        {"k7/8/8/8/3K4/3B4/8/7N w - -", 0, 1, true, 1}, {"8/8/8/4k3/8/8/P7/2B1K3 b - -", 0, 1, true, 0},
        {"8/8/8/8/8/4K3/4P3/k6n w - -", -5, 0, true, 0}, {"k7/8/8/8/8/8/1R6/4K2n w - -", -5, 0, true, 0},
        {"8/8/8/3kn3/8/8/8/R3K3 w - -", -5, 0, false, 0},
    };
    for (const auto& c : cases) {
        int value = 0;
        EXPECT_EQ(cuts(c.fen, c.alpha, c.beta, value), c.cut) << c.fen << " " << c.alpha;
        if (c.cut) { EXPECT_EQ(value, c.value) << c.fen << " " << c.alpha; }
    }
    // Depth adjustments: draws end the search, unclear positions are searched less deep.
    const struct {
        const char* fen;
        int depth;
        bool cut;
        int adjust;
    } depths[] = {
        {"4k3/8/8/8/8/8/8/4K3 w - -", 37, true, -37}, {"4k3/8/8/8/8/8/8/1NN1K3 w - -", 40, false, 8 - 40},
        {"3R4/3K4/8/8/8/3k4/3r4/8 w - -", 40, true, 0},
        {"8/3K4/8/8/8/3k4/3r4/3R4 w - -", 16, false, 0},  // the rooks attack each other
        {"8/3K4/8/8/8/3k4/3r4/3R4 w - -", 20, false, -4}, {"8/3K4/8/8/8/3k4/3r4/3R4 w - -", 30, false, -8},
        {"8/8/8/8/8/1p6/2k4P/K7 w - -", 30, false, 7}, {"8/8/8/8/8/1p6/2k4P/6K1 w - -", 30, false, 0},
    };
    for (const auto& d : depths) {
        int value = 0, adjust = 0;
        EXPECT_EQ(bound(d.fen, -100, 100, d.depth, value, adjust), d.cut) << d.fen;
        EXPECT_EQ(adjust, d.adjust) << d.fen << " depth " << d.depth;
    }
    int value = 0;
    for (const char* fen : {"8/3K4/8/8/8/3k4/3r4/3R4 w - -", "k7/8/8/8/8/8/1R6/4K2n w - -"}) {
        const Position pos = positionOf(fen);
        EXPECT_FALSE(kind(pos).evaluateQuiet(pos, value)) << fen;
    }
}

// scale(): how far a balance is pulled towards the draw.
TEST_F(Recognizers, ScalingPullsDrawishBalancesIn) {
    const struct {
        const char* fen;
        int value, scaled;
    } cases[] = {
        {"4k2r/p7/8/8/8/8/8/R1B1K3 w - -", 250, 0},  // no pawns left to win with
        {"4k2r/p7/8/8/8/8/8/R1B1K3 w - -", -250, -250},
        {"4k3/1p6/8/2b5/8/3B4/1P6/4K3 w - -", 400, 200},  // opposite bishops
        {"4k3/1p6/8/2b5/8/3B4/1P6/4K3 w - -", 3000, 1000}, {"4k3/1p6/8/2b5/8/3B4/1P6/4K3 w - -", -3000, -1000},
        {"4k3/1p6/8/2b5/8/3B4/P7/4K3 w - -", 400, 230},  // a2 shares the bishop's colour
        {"4k3/1p6/2b5/8/8/3B4/1P6/4K3 w - -", 400, 400},  // same colours
        {"4k2r/8/8/8/8/8/PP6/2B1K3 w - -", 300, 300 - 3 * 310 / 4}, {"4k2r/8/8/8/8/8/PP6/2B1K3 w - -", 100, 0},
        {"4k2r/8/8/8/8/8/PP6/2B1K3 w - -", -100, -100 - 3 * 310 / 4},
        {"4k3/8/8/8/8/8/PP6/3qK3 w - -", 0, 0},  // a queen up is enough to win
    };
    for (const auto& c : cases) EXPECT_EQ(scale(c.fen, c.value), c.scaled) << c.fen << " " << c.value;
    EXPECT_EQ(scale(mirror("4k2r/p7/8/8/8/8/8/R1B1K3 w - -"), -250), 0);
    // A knight on the rim.
    EXPECT_EQ(scale("4k1n1/pp6/8/8/8/8/PP6/N3K3 w - -", 0) - scale("4k1n1/pp6/8/8/8/2N5/PP6/4K3 w - -", 0), -90);
    // Pawn races: a passer that outruns the king wins, one the king catches does not.
    EXPECT_GE(scale("8/6p1/8/P7/8/8/6Pk/K7 w - -", 0), 3000);
    EXPECT_GE(scale("8/6p1/8/P3k3/8/8/6P1/K7 w - -", 0), 3000);
    EXPECT_LT(scale("8/6p1/8/P3k3/8/8/6P1/K7 b - -", 0), 1000);
    EXPECT_LT(scale("8/6p1/8/8/8/8/P5P1/k6K b - -", 0), 1000);
    EXPECT_LT(scale("8/8/8/P7/7p/8/8/K6k w - -", 0), 1000);  // both run: a race, not a win
}

// Every kind answers the colour-mirrored position alike: White-view values negate, values in the
// side to move's view stay.
TEST_F(Recognizers, AnswersAreColourSymmetric) {
    // Every rule of the selection table, and positions with Black to move or special features.
    std::vector<std::string> fens = {
        "4k3/8/8/8/8/8/8/1NN1K3 b - -",     "k7/8/8/8/8/8/P7/K7 b - -",          "8/8/8/4k3/8/8/8/R3K3 b - -",
        "8/8/8/8/8/8/R7/5K1k b - -",        "3R4/3K4/8/8/8/3k4/3r4/8 b - -",     "8/3K4/8/8/8/3k4/3r4/3R4 w - -",
        "k7/8/8/8/3K4/3B4/8/7N b - -",      "8/8/8/4k3/8/8/P7/2B1K3 b - -",      "8/8/8/8/8/4K3/4P3/k6n w - -",
        "k7/8/8/8/8/8/1R6/4K2n w - -",      "8/8/8/3kn3/8/8/8/R3K3 b - -",       "4k2r/8/8/8/8/8/8/1NB1K3 b - -",
        "4k3/p7/8/8/8/8/8/R3K1n1 b - -",    "7k/6r1/8/8/8/8/8/RN2K3 b - -",      "4k3/p7/8/4N3/8/8/8/1N2K3 b - -",
        "8/6p1/8/P7/8/8/6Pk/K7 w - -",      "8/8/8/8/8/1p6/2k4P/K7 w - -",       "4k3/1p6/8/2b5/8/3B4/P7/4K3 b - -",
        "4kb2/p1p5/8/8/8/8/6PP/1N2K3 b - -", "4k2r/8/8/8/8/8/PP6/2B1K3 b - -",   "3Q4/3K4/8/8/8/3k4/3r4/8 w - -",
    };
    for (const Case& c : CASES) fens.push_back(c.fen);
    const int windows[][2] = {{-500001, 500001}, {0, 1}, {-1, 0}, {-3, -1}, {1, 3}, {6000, 6001},
                              {-6001, -6000}, {8000, 8001}, {-9000, -8000}, {-100, 100}};
    for (const std::string& fen : fens) {
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


TEST(RecognizerSelection, EveryRuleForBothColours) {
    const RecognizerRegistry registry;
    for (const Case& c : CASES) {
        const Position pos = positionOf(c.fen);
        EXPECT_STREQ(registry.select(pos)->name(), c.kind) << c.fen;
        const std::string mirrored = mirror(c.fen);
        EXPECT_EQ(registry.select(positionOf(mirrored))->name(), mirrorName(c.kind)) << mirrored;
    }
}

TEST(RecognizerSelection, DefaultIsTheRegistrysOwnEntryAndChoicesAreStable) {
    const RecognizerRegistry registry;
    EXPECT_EQ(registry.select(positionOf("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -")),
              registry.defaultRecognizer());
    // The material cache keys the choice by counts only: another placement gives the same object.
    EXPECT_EQ(registry.select(positionOf("4k3/8/8/8/8/8/P7/4K3 w - -")),
              registry.select(positionOf("8/3k4/8/8/8/1P6/8/6K1 b - -")));
    EXPECT_NE(registry.select(positionOf("4k3/8/8/8/8/8/P7/4K3 w - -")),
              registry.select(positionOf(mirror("4k3/8/8/8/8/8/P7/4K3 w - -"))));
}

}  // namespace
}  // namespace zelmora::test
