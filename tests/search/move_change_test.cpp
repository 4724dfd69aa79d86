#include <gtest/gtest.h>

#include <cmath>

#include "search/move_change.h"
#include "support/chess.h"

namespace zelmora::test {
namespace {

PrincipalVariation line(const Position& start, const std::vector<const char*>& moves) {
    PrincipalVariation pv;
    Position pos = start;
    for (const char* text : moves) EXPECT_TRUE(playLine(pos, {pv.moves[pv.length++] = parseMove(pos, text)}));
    return pv;
}

TEST(MoveChange, FeaturesCompareTheLinesAndDescribeTheNewOne) {
    // 1.e4 d5: the new line takes at once, the old one first played Nc3 Nf6.
    const Position root = fromFen("rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 2");
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


}  // namespace
}  // namespace zelmora::test
