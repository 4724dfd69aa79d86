#include <random>

#include "board/kpk.h"
#include "board_helpers.h"

namespace zelmora::test {
namespace {

Square sq(const char* name) { return makeSquare(name[0] - 'a', '8' - name[1]); }

TEST(AttackTables, SliderLookupsAgreeWithEachOther) {
    EXPECT_EQ(popCount(rookAttacks(sq("a1"), 0)), 14);
    EXPECT_EQ(rookAttacks(sq("a1"), bit(sq("a4"))) & fileMask(0), bit(sq("a2")) | bit(sq("a3")) | bit(sq("a4")));
    std::mt19937_64 rng(1);
    for (int i = 0; i < 20000; ++i) {
        const Bitboard occ = rng() & rng();
        const Square s = Square(rng() % 64);
        EXPECT_EQ(rookAttacks(s, occ), fileAttacksFrom(s, occ) | rankAttacksFrom(s, occ));
        EXPECT_EQ(bishopAttacks(s, occ), diagA1H8AttacksFrom(s, occ) | diagA8H1AttacksFrom(s, occ));
    }
    EXPECT_EQ(namedSets.cornerSquares, bit(sq("a1")) | bit(sq("a8")) | bit(sq("h1")) | bit(sq("h8")) | bit(sq("b2")) |
                                           bit(sq("b7")) | bit(sq("g2")) | bit(sq("g7")));
    EXPECT_EQ(popCount(namedSets.longDiagonals), 16);
    EXPECT_EQ(parseSquareList("e4"), bit(sq("e4")));
}

TEST(AttackTables, AttackSetsCountBatteries) {
    // Rook behind queen on the d-file: the squares beyond the queen are attacked, d7 twice.
    Position pos = fromFen("3k4/8/8/8/8/8/3Q4/3RK3 b - -");
    const SideRecord& black = pos.side[BLACK];
    EXPECT_TRUE(black.attackedByEnemy & bit(sq("d7")));
    EXPECT_TRUE(black.attackedTwiceByEnemy & bit(sq("d7")));
    EXPECT_FALSE(black.attackedTwiceByEnemy & bit(sq("a5")));
    EXPECT_TRUE(black.attackedByEnemy & bit(sq("d8")));
    EXPECT_EQ(black.attackedByEnemyPawns, 0u);
}

TEST(AttackTables, PinnedAndAttacked) {
    // The knight is pinned on the file, the bishop on the diagonal.
    Position pos = fromFen("4r1k1/8/8/b7/4N3/2B5/8/4K3 w - -");
    EXPECT_EQ(pos.pinnedAttacked, bit(sq("e4")) | bit(sq("c3")));
    // A blocker in front of the knight ends its pin.
    pos = fromFen("4r1k1/8/8/b3p3/4N3/2B5/8/4K3 w - -");
    EXPECT_EQ(pos.pinnedAttacked, bit(sq("c3")));
    // Pins of both colours are collected.
    pos = fromFen("4r1k1/5n2/8/b7/2B5/8/8/4K3 w - -");
    EXPECT_EQ(pos.pinnedAttacked, bit(sq("f7")));
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

}  // namespace
}  // namespace zelmora::test
