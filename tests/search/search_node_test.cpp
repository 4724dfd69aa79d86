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
    e.nullMovePath().last = lastNull;
    e.nullMovePath().previous = previousNull;
    e.search(alpha, beta, 8);
    EXPECT_EQ(e.nullMovePath().last, lastNull);
    EXPECT_EQ(e.nullMovePath().previous, previousNull);
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

struct MateProblem {
    const char* fen;
    int movesToMate;
    const char* keyMove;
};

// Checked with another engine: each has exactly the stated shortest mate.
const MateProblem PROBLEMS[] = {
    {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", 1, "d1d8"},
    {"r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 1", 2, "d5f6"},
    {"r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", 3, "f8c5"},
    {"r5rk/5p1p/5R2/4B3/8/8/7P/7K w - - 0 1", 3, "f6a6"},
    {"2r3k1/p4p2/3Rp2p/1p2P1pK/8/1P4P1/P3Q2P/1q6 b - - 0 1", 3, "b1g6"},
};

void expectMateFound(const std::string& fen, int movesToMate, const std::string& keyMove) {
    SCOPED_TRACE(fen);
    SearchRig rig(fen.c_str());
    rig.think(2 * movesToMate + 1);
    Engine& e = *rig.engine;
    EXPECT_EQ(e.lastScore, MATE - (2 * movesToMate - 1));
    EXPECT_EQ(text(rig.game.position, e.pvMove), keyMove);

    // The line ends in mate after the stated number of moves.
    ASSERT_GE(e.pv.length, 2 * movesToMate - 1);
    Position pos = rig.game.position;
    ASSERT_TRUE(playLine(pos, std::vector<Move>(e.pv.moves, e.pv.moves + 2 * movesToMate - 1)));
    EXPECT_TRUE(pos.inCheck());
    EXPECT_TRUE(noLegalMove(pos));
}

TEST(SearchMates, ClassicProblemsAndTheirColourMirrorsAreSolvedWithExactMateScores) {
    for (const MateProblem& p : PROBLEMS) {
        expectMateFound(p.fen, p.movesToMate, p.keyMove);
        std::string mirrored = p.keyMove;
        mirrored[1] = char('1' + '8' - mirrored[1]);
        mirrored[3] = char('1' + '8' - mirrored[3]);
        expectMateFound(mirrorFen(p.fen), p.movesToMate, mirrored);
    }
}

// Nodes below the root: a side without moves scores 0 when stalemated and -(MATE - ply) when
// mated, whatever the window and depth.
TEST(SearchMates, StalemateAndCheckmateInsideTheTree) {
    struct Case {
        const char* fen;
        int expected;  // at ply 0
    };
    const Case cases[] = {
        {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 0},       // stalemate
        {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", -MATE},   // mated
        {"k7/8/1QK5/8/8/8/8/8 b - - 0 1", 0},        // stalemate in the corner
        {"1k6/1Q6/1K6/8/8/8/8/8 b - - 0 1", -MATE},  // mated on the edge
    };
    for (const Case& c : cases) {
        for (int ply : {0, 3, 7}) {
            for (int depth : {0, 8, 15}) {  // from 16 on the game's own position counts as a repetition
                SearchRig rig(c.fen);
                Engine& e = *rig.engine;
                e.prepareSearch();
                e.ply = ply - 1;
                e.nullMovePath().last = ply - 10;
                const int expected = c.expected == 0 ? 0 : c.expected + ply;
                EXPECT_EQ(e.search(-WINDOW_END, WINDOW_END, depth), expected) << c.fen << " ply " << ply;
                EXPECT_EQ(e.search(-100, -99, depth), expected) << c.fen << " null window";
                EXPECT_EQ(e.ply, ply - 1);
                if (c.expected != 0) { EXPECT_EQ(e.quiesce(-WINDOW_END, WINDOW_END, -1), expected); }
            }
        }
    }
}

}  // namespace
}  // namespace zelmora::test
