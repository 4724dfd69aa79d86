// The term groups on small positions whose values were worked out by hand. The symmetry tests
// cannot see a fault that both colours share (a wrong sign, a wrong square for both); these can.

#include <gtest/gtest.h>

#include "eval/eval_terms.h"
#include "eval/eval_test_support.h"

namespace zelmora::test {
namespace {


std::string squaresOf(Bitboard b) {
    std::string text;
    for (; b != 0;) {
        const Square s = popLowestBit(b);
        if (!text.empty()) text += ' ';
        text += char('a' + fileOf(s));
        text += char('8' - rowOf(s));
    }
    return text;
}

TEST(PawnEntry, DerivedSetsOfAMixedStructure) {
    // White b5 c4 d3 e4 h2 against Black e5 f7 g6 h7.
    const Position pos = positionOf("4k3/5p1p/6p1/1P2p3/2P1P3/3P4/7P/4K3 w - -");
    PawnTable table;
    const PawnEntry& e = table.probe(pos);
    EXPECT_EQ(squaresOf(e.passed), "b5 c4");
    EXPECT_EQ(squaresOf(e.weak), "d3 h2");  // d3 backward (e5 guards d4), h2 isolated
    EXPECT_EQ(squaresOf(e.outposts[WHITE]), "a6 c6 b5 d5 c4");
    EXPECT_EQ(squaresOf(e.outposts[BLACK]), "h5 d4 f4");
}

TEST(PawnEntry, DoubledIsolatedRookPawnsAgainstALoneOne) {
    // White a2 a3: squares -75-76 / -210-217, isolated 2 x -84, doubled -98/-93 and -33/-22 for
    // a2, no defended pawn -12, two undefended +50. Black h7: -75/-210, -84, -12, one undefended +61.
    PawnTable table;
    const PawnEntry& e = table.probe(positionOf("4k3/7p/8/8/8/P7/P7/4K3 w - -"));
    EXPECT_EQ(e.middlegame, -462 - (-171));
    EXPECT_EQ(e.endgame, -660 - (-233));
    EXPECT_EQ(squaresOf(e.passed), "h7 a3");
}

TEST(PieceTerms, BishopsCaughtOnA7AndInTheH1Corner) {
    PawnTable table;
    // Ba7 behind b6, which c7 defends: -980 in both phases, nothing else for either side.
    Position pos = positionOf("4k3/B1p5/1p6/8/8/8/8/4K3 w - -");
    PhaseScore s;
    addPieceTerms(pos, table.probe(pos), true, true, s);
    EXPECT_EQ(s.mg, -980);
    EXPECT_EQ(s.eg, -980);
    // Bh1 behind g2 with g3 and f3 empty: -77; undeveloped -72 in the middlegame; the isolated g2
    // on the bishop's colour -25 in the endgame.
    pos = positionOf("4k3/8/8/8/8/8/6P1/4K2B w - -");
    s = {};
    addPieceTerms(pos, table.probe(pos), true, true, s);
    EXPECT_EQ(s.mg, -77 - 72);
    EXPECT_EQ(s.eg, -77 - 25);
    // The phase flags leave out their halves.
    s = {};
    addPieceTerms(pos, table.probe(pos), false, true, s);
    EXPECT_EQ(s.mg, -77);
    s = {};
    addPieceTerms(pos, table.probe(pos), true, false, s);
    EXPECT_EQ(s.eg, -77);
}

TEST(PieceTerms, RooksBehindAPasserOnAFileAndOnTheSeventh) {
    PawnTable table;
    // White: Ra1 behind the passer a4 +123; Rf1 on a file without own pawns, k = 1: +59/+58; the
    // rooks see each other: +35 middlegame. Black: Rh2 on its seventh +91, hanging to the king -68.
    const Position pos = positionOf("k7/8/8/8/P7/8/7r/R4RK1 w - -");
    PhaseScore s;
    addPieceTerms(pos, table.probe(pos), true, true, s);
    EXPECT_EQ(s.mg, (123 + 59 + 35) - (91 - 68));
    EXPECT_EQ(s.eg, (123 + 58) - (91 - 68));
}

TEST(MobilityAndSpace, QueensFacingEachOther) {
    // Qd4: 27 destinations, 7 covered by Black (d5 d6 d7 d8 b6 f6 h4), the queen on d8 counts: 21.
    // Qd8: 14 destinations, 6 covered by White: 8. Space: White 17 squares, Black 5.
    const Position pos = positionOf("3qk3/8/8/8/3Q4/8/8/4K3 w - -");
    PhaseScore s;
    addMobilityAndSpace(pos, s);
    EXPECT_EQ(s.mg, (251 - 204) + 4 * 12);
    EXPECT_EQ(s.eg, (377 - 475) + 10 * 12);
}

TEST(KingTerms, KingAndPawnEnding) {
    // Centre -66, race 44 x (2 - 2), pawns next to kings +24, room 3 x (21 - 22), clear of
    // undefended pawns 17 x (2 - 0).
    const Position pos = positionOf("8/8/8/4k3/8/8/4P3/4K3 w - -");
    PawnTable table;
    EXPECT_EQ(endgameKingTerm(pos, table.probe(pos)), -66 + 24 - 3 + 34);
}

TEST(KingTerms, QueenAndKnightAgainstTheShelter) {
    // White: 47 - zoneAttack[3] = 46; g2 attacked twice (k = 1); f2, e2, g2 uncovered: -3 x 11.
    // Black: no attack, 47 - 4.
    const Position pos = positionOf("6k1/5ppp/8/8/7n/5q2/5PPP/6K1 w - -");
    EXPECT_EQ(middlegameKingTerm(pos), 13 - 43);
}

}  // namespace
}  // namespace zelmora::test
