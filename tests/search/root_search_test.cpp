#include <gtest/gtest.h>

#include <random>
#include <set>

#include "search_test_helpers.h"

namespace zelmora::test {
namespace {

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr const char* BACK_RANK_MATE = "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1";

TEST(RootSearch, ASingleLegalMoveIsPlayedWithoutIterating) {
    SearchRig rig("4k3/8/8/8/8/8/r7/K6r w - - 0 1");  // only Kxa2
    EXPECT_TRUE(rig.think(10));
    Engine& e = *rig.engine;
    EXPECT_EQ(text(rig.game.position, e.pvMove), "a1a2");
    EXPECT_EQ(e.iterationDepth, 1);
    EXPECT_EQ(rig.listener.currMoves, 0);
    ASSERT_EQ(rig.listener.pvLines.size(), 1u);
    ASSERT_FALSE(rig.listener.pvLines[0].line.empty());
    EXPECT_EQ(rig.listener.pvLines[0].line[0], e.pvMove);
}

TEST(RootSearch, SearchmovesAndExcludemovesRestrictTheRoot) {
    {
        SearchRig rig(START);
        rig.filterRoot("e2e4 wtime 1000 d2d4", false);
        rig.think(5);
        EXPECT_EQ(rig.engine->rootMoveCount, 2);
        EXPECT_EQ(rig.listener.currMoves, 2 * 5);  // two root moves in each of five iterations
    }
    {
        // The mate is excluded, so it is not played; a bad move named alone is played.
        SearchRig rig(BACK_RANK_MATE);
        rig.filterRoot("d1d8", true);
        rig.think(5);
        EXPECT_EQ(rig.engine->rootMoveCount, 19);
        EXPECT_NE(text(rig.game.position, rig.engine->pvMove), "d1d8");
        EXPECT_LT(rig.engine->lastScore, MATE_THRESHOLD);
    }
    {
        // One named move is a single root move; a filter that names no legal move is ignored.
        SearchRig rig(START);
        rig.filterRoot("g1f3", false);
        rig.think(6);
        EXPECT_EQ(text(rig.game.position, rig.engine->pvMove), "g1f3");
        EXPECT_EQ(rig.engine->iterationDepth, 1);
        rig.filterRoot("e2e5 e7e5", false);
        rig.think(3);
        EXPECT_EQ(rig.engine->rootMoveCount, 20);
    }
}

TEST(RootSearch, MultiPvReportsTheBestLinesInScoreOrder) {
    SearchRig rig("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4");
    rig.shared.settings.multiPv = 3;
    rig.think(6);
    const auto& lines = rig.listener.multiPvLines;
    ASSERT_EQ(lines.size(), 3u * 6);
    for (std::size_t i = 0; i < lines.size(); i += 3) {
        std::set<Move> firstMoves;
        for (int k = 0; k < 3; ++k) {
            const MultiPvReport& r = lines[i + k];
            EXPECT_EQ(r.lineNumber, k + 1);
            EXPECT_EQ(r.iteration, lines[i].iteration);
            ASSERT_FALSE(r.line.empty());
            firstMoves.insert(r.line[0]);
            if (k > 0) { EXPECT_LE(r.score, lines[i + k - 1].score) << "iteration " << r.iteration; }
            Position pos = rig.game.position;
            EXPECT_TRUE(playLine(pos, r.line));
        }
        EXPECT_EQ(firstMoves.size(), 3u);
    }
    EXPECT_EQ(lines[lines.size() - 3].line[0], rig.engine->pvMove);
}


// The table is rigged with a cycle (the knights go out and back): the PV stops before it closes.
TEST(ExtractPv, NeverHoldsACycle) {
    SearchRig rig(START);
    Engine& e = *rig.engine;
    Position pos = rig.game.position;
    std::vector<Move> moves;
    for (const char* move : {"g1f3", "g8f6", "f3g1", "f6g8"}) {
        moves.push_back(parseMove(pos, move));
        ASSERT_TRUE(playLine(pos, {moves.back()}));
    }
    // Back at the start: each position of the cycle names the next move.
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(playLine(pos, {moves[i]}));
        rig.search->table.store(pos.key(), moves[(i + 1) % 4], 0, makeDepthWord(10, BOUND_EXACT), 0, 0);
    }
    PrincipalVariation line;
    const Move ponder = e.extractPv(moves[0], line);
    ASSERT_EQ(line.length, 3);
    EXPECT_EQ(line.moves[2], moves[2]);
    EXPECT_EQ(ponder, moves[1]);
}

}  // namespace
}  // namespace zelmora::test
