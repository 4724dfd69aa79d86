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

}  // namespace
}  // namespace zelmora
