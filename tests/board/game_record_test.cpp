#include "board_helpers.h"

namespace zelmora::test {
namespace {

Move parse(const Position& pos, const char* text) {
    Move m = NO_MOVE;
    EXPECT_TRUE(textToMove(pos, text, m, true)) << text;
    return m;
}

void play(GameRecord& game, const char* moves) {
    std::string all(moves);
    for (std::size_t p = 0; p < all.size();) {
        std::size_t end = all.find(' ', p);
        if (end == std::string::npos) end = all.size();
        game.playMove(parse(game.position, all.substr(p, end - p).c_str()));
        p = end + 1;
    }
}

TEST(GameRecord, FenCountersAndTheFiftyMoveRule) {
    GameRecord game;
    ASSERT_TRUE(game.setFen("4k3/8/8/8/8/8/8/R3K3 w - - 10 40"));
    char fen[128];
    EXPECT_STREQ(game.getFen(fen), "4k3/8/8/8/8/8/8/R3K3 w - - 10 6");
    ASSERT_TRUE(game.setFen("4k3/8/8/8/8/8/8/R3K3 w - - 99 80"));
    EXPECT_EQ(game.keyCount, 100);
    EXPECT_EQ(game.claimableDraw(), NO_DRAW);
    play(game, "a1a2");
    EXPECT_EQ(game.keyCount, 101);
    EXPECT_EQ(game.claimableDraw(), FIFTY_MOVES);
    play(game, "e8d8");
    EXPECT_EQ(game.keyCount, 101);  // full: nothing more is stored
    ASSERT_TRUE(game.setFen("4k3/8/8/8/8/8/8/R3K3 w - - 150 1"));
    EXPECT_EQ(game.keyCount, 1);
    // A pawn move or a capture starts the count again.
    ASSERT_TRUE(game.setFen("4k3/8/8/8/8/8/P7/R3K3 w - - 30 1"));
    play(game, "a2a3");
    EXPECT_EQ(game.keyCount, 1);
    // A rejected FEN changes nothing.
    EXPECT_FALSE(game.setFen("garbage"));
    EXPECT_STREQ(game.getFen(fen), "4k3/8/8/8/8/P7/8/R3K3 b - - 0 1");
}

TEST(GameRecord, Repetitions) {
    GameRecord game;
    play(game, "g1f3 g8f6 f3g1 f6g8");
    EXPECT_EQ(game.claimableDraw(), NO_DRAW);  // the start position stands there twice
    EXPECT_EQ(game.searchDraw(game.position), REPETITION);
    play(game, "g1f3 g8f6 f3g1");
    EXPECT_EQ(game.claimableDraw(), NO_DRAW);
    play(game, "f6g8");
    EXPECT_EQ(game.claimableDraw(), REPETITION);

    // In the tree: a position met once before in the game gives 1.
    GameRecord other;
    play(other, "e2e4 e7e5 g1f3");
    Position tree = other.position;
    UndoRecord undo;
    ASSERT_TRUE(tree.makeLegal(parse(tree, "b8c6"), undo));
    ASSERT_TRUE(tree.makeLegal(parse(tree, "f3g1"), undo));
    ASSERT_TRUE(tree.makeLegal(parse(tree, "c6b8"), undo));
    EXPECT_EQ(other.searchDraw(tree), SEEN_BEFORE);
    // Castling rights lost make a different position.
    GameRecord rights;
    play(rights, "e2e4 e7e5 e1e2 e8e7 e2e1 e7e8 e1e2 e8e7 e2e1 e7e8");
    EXPECT_EQ(rights.claimableDraw(), NO_DRAW);  // the first of these had castling rights
    play(rights, "e1e2 e8e7 e2e1 e7e8");
    EXPECT_EQ(rights.claimableDraw(), REPETITION);
}

TEST(GameRecord, InsufficientMaterialAndDeadPositions) {
    auto draw = [](const char* fen) { return materialDraw(fromFen(fen)); };
    EXPECT_EQ(draw("4k3/8/8/8/8/8/8/4K3 w - -"), INSUFFICIENT_MATERIAL);
    EXPECT_EQ(draw("4k3/8/8/8/8/8/8/4KN2 w - -"), INSUFFICIENT_MATERIAL);
    EXPECT_EQ(draw("4k3/8/8/8/8/8/8/3NKN2 w - -"), NO_DRAW);          // two knights
    EXPECT_EQ(draw("4kb2/8/8/8/8/8/8/2B1K3 w - -"), INSUFFICIENT_MATERIAL);  // bishops on one colour
    EXPECT_EQ(draw("4k1b1/8/8/8/8/8/8/2B1K3 w - -"), NO_DRAW);          // opposite colours
    EXPECT_EQ(draw("4k3/8/8/8/8/8/8/4KR2 w - -"), NO_DRAW);
    // A locked pawn chain that neither king can get around.
    EXPECT_EQ(draw("8/4k3/8/p1p1p1p1/P1P1P1P1/8/4K3/8 w - -"), DEAD_POSITION);
    EXPECT_EQ(draw("8/4k3/8/p1p1p3/P1P1P1P1/8/4K3/8 w - -"), NO_DRAW);  // the g4 pawn is free
    EXPECT_EQ(draw("8/4k3/8/p1p1p3/P1P1P3/8/4K3/8 w - -"), NO_DRAW);    // the king walks round by g4
}

}  // namespace
}  // namespace zelmora::test
