#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/protocol_fixture.h"

namespace zelmora {
namespace {

using EvalCommand = test::ProtocolTest;

TEST_F(EvalCommand, PrintsRoundedScoreThenValueAndMaterial) {
    // e = 34: cp (34 + 9) / 10; e' = 33, r = 33, d = 1, which prints as 0.
    send("eval");
    // Pawnless with equal material: 148 for White to move, -142 for Black (see the evaluator tests).
    send("position fen kb6/1r6/8/8/4K3/8/6RB/8 w - - 0 1");
    send("eval");
    send("position fen kb6/1r6/8/8/4K3/8/6RB/8 b - - 0 1");
    send("eval");
    send("position fen 8/8/8/8/8/7p/5k1P/7K w - - 0 1");  // stalemate
    send("eval");
    EXPECT_EQ(lines(), (std::vector<std::string>{"info score cp 4", "info string value 34 mat 0",
                                                 "info score cp 15", "info string value 148 mat 0",
                                                 "info score cp -13", "info string value -142 mat 0",
                                                 "info score cp 0", "info string value 0 mat 0"}));
}

TEST_F(EvalCommand, MaterialIsTheMaterialTermFromTheMoverPlusTheRoundingUnit) {
    // Black has won a knight. White to move: e < 0, e' = e + 1, r = e' - M, so mat = M - 1.
    // Black to move: e > 0, e' = e - 1, r = e' + M, so mat = 1 - M.
    send("position startpos moves e2e4 e7e5 g1f3 b8c6 f3e5 c6e5");
    send("eval");
    send("position fen r1bqkbnr/pppp1ppp/8/4n3/4P3/8/PPPP1PPP/RNBQKB1R b KQkq - 0 4");
    send("eval");
    const auto printed = lines();
    ASSERT_EQ(printed.size(), 4u);
    Evaluator probe;  // both positions have the same material
    probe.evaluate(engine.game.position);
    const long m = probe.material.currentScore();
    EXPECT_LT(m, -1000);
    long cp = 0, value = 0, mat = 0;
    ASSERT_EQ(std::sscanf(printed[0].c_str(), "info score cp %ld", &cp), 1);
    ASSERT_EQ(std::sscanf(printed[1].c_str(), "info string value %ld mat %ld", &value, &mat), 2);
    EXPECT_LT(value, 0);
    EXPECT_EQ(cp, (value + 9) / 10);
    EXPECT_EQ(mat, m - 1);
    ASSERT_EQ(std::sscanf(printed[3].c_str(), "info string value %ld mat %ld", &value, &mat), 2);
    EXPECT_GT(value, 0);
    EXPECT_EQ(mat, 1 - m);
}

}  // namespace
}  // namespace zelmora
