#include <algorithm>

#include "board_helpers.h"

namespace zelmora::test {
namespace {

std::vector<std::string> texts(const Position& pos, const std::vector<Move>& moves) {
    std::vector<std::string> out;
    for (Move m : moves) out.push_back(coordinate(pos, m));
    return out;
}

TEST(MoveGeneration, StartPositionOrder) {
    Position pos;
    const std::vector<std::string> expected = {"b1a3", "b1c3", "g1f3", "g1h3", "a2a4", "b2b4", "c2c4",
                                               "d2d4", "e2e4", "f2f4", "g2g4", "h2h4", "a2a3", "b2b3",
                                               "c2c3", "d2d3", "e2e3", "f2f3", "g2g3", "h2h3"};
    EXPECT_EQ(texts(pos, generated(pos)), expected);
}

TEST(MoveGeneration, PawnOrderAndPromotions) {
    // Captures toward the a-file first, promotions before plain destinations, then pushes.
    Position pos = fromFen("r3k3/1P6/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(texts(pos, generated(pos)),
              (std::vector<std::string>{"e1d2", "e1e2", "e1f2", "e1d1", "e1f1", "b7a8q", "b7a8r", "b7a8b", "b7a8n",
                                        "b7b8q", "b7b8r", "b7b8b", "b7b8n"}));
    EXPECT_EQ(texts(pos, generated(pos, true)), (std::vector<std::string>{"b7a8q", "b7b8q"}));
    // Black mirrors: captures toward the a-file (+7) first.
    pos = fromFen("4k3/8/8/8/8/8/3p4/2N1NK2 b - -");
    EXPECT_EQ(texts(pos, generated(pos, true)), (std::vector<std::string>{"d2c1q", "d2e1q", "d2d1q"}));
}

TEST(MoveGeneration, Castling) {
    Position pos = fromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
    const std::vector<std::string> all = texts(pos, generated(pos));
    EXPECT_NE(std::find(all.begin(), all.end(), "e1g1"), all.end());
    EXPECT_NE(std::find(all.begin(), all.end(), "e1c1"), all.end());
    // Chess960: king b1 and rook a1 castle as b1 takes a1; the queen-side squares c1, d1 must be free.
    pos = fromFen("1k6/8/8/8/8/8/8/RK5R w HA -");
    std::vector<Move> moves = generated(pos);
    EXPECT_NE(std::find(moves.begin(), moves.end(), makeMove(57, 56, KING)), moves.end());
    EXPECT_NE(std::find(moves.begin(), moves.end(), makeMove(57, 63, KING)), moves.end());
    // An attacked square on the king's path forbids it; castling out of check never appears.
    pos = fromFen("4k3/8/8/8/8/8/5r2/R3K2R w KQ -");
    moves = generated(pos);
    EXPECT_EQ(std::find(moves.begin(), moves.end(), makeMove(60, 63, KING)), moves.end());
    EXPECT_NE(std::find(moves.begin(), moves.end(), makeMove(60, 56, KING)), moves.end());
    pos = fromFen("4k3/8/8/8/8/8/4r3/R3K2R w KQ -");
    moves = generated(pos);
    EXPECT_EQ(std::find(moves.begin(), moves.end(), makeMove(60, 56, KING)), moves.end());
}

TEST(MoveGeneration, Evasions) {
    // Double check: only the king moves.
    Position pos = fromFen("4k3/8/8/8/8/5n2/8/4K2r w - -");
    for (Move m : generated(pos)) EXPECT_EQ(movePiece(m), KING);
    // A rook on the rank: the king may not step away along the rank, not even to a square the
    // rook does not reach yet.
    pos = fromFen("4k3/8/8/8/8/8/8/r3K3 w - -");
    const std::vector<std::string> kingMoves = texts(pos, generated(pos));
    EXPECT_EQ(kingMoves, (std::vector<std::string>{"e1d2", "e1e2", "e1f2"}));
    // Blocks and the capture of the checker; en passant takes a checking pawn.
    pos = fromFen("8/8/8/2k5/3Pp3/8/8/4K3 b - d3");
    const std::vector<std::string> evasions = texts(pos, generated(pos));
    EXPECT_NE(std::find(evasions.begin(), evasions.end(), "e4d3"), evasions.end());
}

TEST(MoveGeneration, CapturesAndChecks) {
    // Quiet checks come with the captures; quiet non-checking moves do not.
    Position pos = fromFen("4k3/8/8/8/8/8/8/R3K1N1 w - -");
    for (Move m : generated(pos, true, true)) {
        Position after = pos;
        UndoRecord undo;
        ASSERT_TRUE(after.makeLegal(m, undo));
        EXPECT_TRUE(after.inCheck()) << coordinate(pos, m);
    }
    EXPECT_FALSE(generated(pos, true, true).empty());
    EXPECT_TRUE(generated(pos, true, false).empty());
    // A defended piece between our rook and the enemy king discovers check with all its moves.
    pos = fromFen("4k3/8/8/8/4N3/8/8/3KR3 w - -");
    int knightMoves = 0;
    for (Move m : generated(pos, true, true)) knightMoves += movePiece(m) == KNIGHT;
    EXPECT_GE(knightMoves, 8);
}

}  // namespace
}  // namespace zelmora::test
