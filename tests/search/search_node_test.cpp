#include <gtest/gtest.h>

#include <random>

#include "search_test_helpers.h"

namespace zelmora::test {
namespace {

constexpr const char* ITALIAN = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";

// Searches one node at ply 0 with the null-move bookkeeping given; returns the null moves tried.
std::uint64_t nullMovesAtNode(const char* fen, int alpha, int beta, int lastNull = -1, int previousNull = -10) {
    SearchRig rig(fen);
    Engine& e = *rig.engine;
    e.prepareSearch();
    e.lastNullPly = lastNull;
    e.previousNullPly = previousNull;
    e.search(alpha, beta, 8);
    EXPECT_EQ(e.lastNullPly, lastNull);
    EXPECT_EQ(e.previousNullPly, previousNull);
    EXPECT_EQ(e.ply, -1);
    return e.nullMovesTried;
}

TEST(NullMove, TriedOnlyWhereItIsSound) {
    // Far above beta with sliders and room to move: tried.
    EXPECT_GE(nullMovesAtNode(ITALIAN, -5001, -5000), 1u);
    // In check (bishop b5 against the king).
    EXPECT_EQ(nullMovesAtNode("rnbqkbnr/ppp2ppp/3p4/1B2p3/4P3/8/PPPP1PPP/RNBQK1NR b KQkq - 1 3", -5001, -5000), 0u);
    // A special recognizer rules the material (pawns on one side only); with a pawn more for
    // the other side the default recognizer is back and the null move is tried.
    EXPECT_EQ(nullMovesAtNode("2b1k2r/8/8/8/8/8/PP6/R1B1K3 w - - 0 1", -5001, -5000), 0u);
    EXPECT_GE(nullMovesAtNode("2b1k2r/p7/8/8/8/8/PP6/R1B1K3 w - - 0 1", -5001, -5000), 1u);
    // Knights only: no bishop, rook or queen to carry the null move.
    EXPECT_EQ(nullMovesAtNode("4k3/pppp4/8/8/8/8/PPPP4/1N2K1N1 w - - 0 1", -5001, -5000), 0u);
    EXPECT_GE(nullMovesAtNode("4k3/pppp4/8/8/8/8/PPPP4/1N2KBN1 w - - 0 1", -5001, -5000), 1u);
}

TEST(NullMove, TwoNullMovesInARowAreAllowedButNotThree) {
    // Directly after a null move (last null at ply -1) another one is allowed even below beta...
    EXPECT_GE(nullMovesAtNode(ITALIAN, 4999, 5000, -1, -3), 1u);
    // ...but not when the one before was made two plies up as well.
    EXPECT_EQ(nullMovesAtNode(ITALIAN, -5001, -5000, -1, -2), 0u);
    // Not directly after a null move and below beta: not tried.
    EXPECT_EQ(nullMovesAtNode(ITALIAN, 4999, 5000, -5, -10), 0u);
}

TEST(StaticNullPruning, ReturnsExactlyTheEvaluationLessTheMargin) {
    // After 1.e4 e5 2.Nf3 Nc6: nothing of White's is attacked, so the threat test is quiet.
    const char* fen = "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3";
    for (int depth : {0, 3, 7}) {
        SearchRig rig(fen);
        Engine& e = *rig.engine;
        e.prepareSearch();
        const int eval = e.evaluator.evaluate(e.position);
        ASSERT_FALSE(e.threatTest(200));
        const int beta = eval - 200;
        EXPECT_EQ(e.search(beta - 1, beta, depth), eval - 125) << "depth " << depth;
        EXPECT_EQ(e.nodes, 1u);
    }
}

TEST(NewDepth, ARookTradeIntoAPawnEndingKeepsTheFullDepth) {
    SearchRig rig("4k3/4r3/8/3p4/3P4/8/4R3/3K4 b - - 0 1");
    Engine& e = *rig.engine;
    e.prepareSearch();
    e.ply = -1;
    for (const char* move : {"e7e2", "d1e2"}) {
        PlyEntry& entry = e.at(++e.ply);
        entry.currentMove = parseMove(e.position, move);
        ASSERT_TRUE(e.position.makeLegal(entry.currentMove, entry.undo));
        entry.captured = entry.undo.captured;
        entry.extension = 0;
    }
    PlyEntry& second = e.at(e.ply);
    EXPECT_EQ(e.newDepth(second, 40), 40);
    EXPECT_EQ(second.extension, 8);
}

// Mate-in-one only ever reports real mates: checked over random games, which also pass
// through positions with kings on the edge and queens nearby.
TEST(MateInOne, ReportsOnlyRealMates) {
    std::mt19937 random(20240611);
    int found = 0, positions = 0;
    for (int game = 0; game < 100; ++game) {
        SearchRig rig;
        Engine& e = *rig.engine;
        e.prepareSearch();
        UndoRecord undo;
        for (int p = 0; p < 150; ++p) {
            if (!e.position.inCheck()) {
                Move m;
                ++positions;
                if (e.mateInOne(m)) {
                    ++found;
                    Position after = e.position;
                    ASSERT_TRUE(playLine(after, {m}));
                    EXPECT_TRUE(after.inCheck() && noLegalMove(after));
                }
            }
            const Move m = randomMove(e.position, random);
            if (m == NO_MOVE) break;
            e.position.makeLegal(m, undo);
        }
    }
    EXPECT_GT(positions, 5000);
    EXPECT_GT(found, 0) << positions;
}

}  // namespace
}  // namespace zelmora::test
