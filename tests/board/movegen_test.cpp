
#include <algorithm>
#include <random>

#include "board/kpk.h"
#include "board_helpers.h"

namespace zelmora::test {
namespace {

Square sq(const char* name) { return makeSquare(name[0] - 'a', '8' - name[1]); }

TEST(AttackTables, AttackSetsCountBatteries) {
    // Rook behind queen on the d-file: the squares beyond the queen are attacked, d7 twice.
    Position pos = fromFen("3k4/8/8/8/8/8/3Q4/3RK3 b - -");
    const SideRecord& black = pos.side(BLACK);
    EXPECT_TRUE(black.attackedByEnemy & bit(sq("d7")));
    EXPECT_TRUE(black.attackedTwiceByEnemy & bit(sq("d7")));
    EXPECT_FALSE(black.attackedTwiceByEnemy & bit(sq("a5")));
    EXPECT_TRUE(black.attackedByEnemy & bit(sq("d8")));
    EXPECT_EQ(black.attackedByEnemyPawns, 0u);
}

TEST(AttackTables, PinnedAndAttacked) {
    // The knight is pinned on the file, the bishop on the diagonal.
    Position pos = fromFen("4r1k1/8/8/b7/4N3/2B5/8/4K3 w - -");
    EXPECT_EQ(pos.pinnedAttacked(), bit(sq("e4")) | bit(sq("c3")));
    // A blocker in front of the knight ends its pin.
    pos = fromFen("4r1k1/8/8/b3p3/4N3/2B5/8/4K3 w - -");
    EXPECT_EQ(pos.pinnedAttacked(), bit(sq("c3")));
    // Pins of both colours are collected.
    pos = fromFen("4r1k1/5n2/8/b7/2B5/8/8/4K3 w - -");
    EXPECT_EQ(pos.pinnedAttacked(), bit(sq("f7")));
}

TEST(KingAndPawn, KnownResultsAndSymmetry) {
    // Opposition: with the king in front on the sixth rank the pawn always wins.
    EXPECT_GT(kpkProbe(sq("e6"), sq("e5"), sq("e8"), true), 0);
    EXPECT_GT(kpkProbe(sq("e6"), sq("e5"), sq("e8"), false), 0);
    // The rook pawn with the defender in the corner is a draw.
    EXPECT_EQ(kpkProbe(sq("b6"), sq("a5"), sq("a8"), true), -1);
    // Behind the pawn without the opposition: a draw with the defender to move... and the classic
    // position with the defender holding the opposition in front.
    EXPECT_EQ(kpkProbe(sq("e4"), sq("e3"), sq("e6"), true), -1);
    EXPECT_GT(kpkProbe(sq("e4"), sq("e3"), sq("e6"), false), 0);
    // Promotion next move is a win in one.
    EXPECT_EQ(kpkProbe(sq("a1"), sq("b7"), sq("h1"), true), 1);
    // Mirroring the files changes nothing.
    for (Square k = 0; k < 64; k += 3)
        for (Square w = 1; w < 64; w += 5) {
            EXPECT_EQ(kpkProbe(k, sq("h7"), w, true), kpkProbe(k ^ 7, sq("a7"), w ^ 7, true));
            EXPECT_EQ(kpkProbe(k, sq("f3"), w, false), kpkProbe(k ^ 7, sq("c3"), w ^ 7, false));
        }
}

std::vector<std::string> texts(const Position& pos, const std::vector<Move>& moves) {
    std::vector<std::string> out;
    for (Move m : moves) out.push_back(coordinate(pos, m));
    return out;
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
