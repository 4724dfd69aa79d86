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
    EXPECT_EQ(text(e.game.position, e.pvMove), "a1a2");
    EXPECT_EQ(e.iterationDepth, 1);
    EXPECT_EQ(rig.listener.currMoves, 0);
    ASSERT_EQ(rig.listener.pvLines.size(), 1u);
    ASSERT_FALSE(rig.listener.pvLines[0].line.empty());
    EXPECT_EQ(rig.listener.pvLines[0].line[0], e.pvMove);
}

TEST(RootSearch, SearchmovesAndExcludemovesRestrictTheRoot) {
    {
        SearchRig rig(START);
        rig.engine->setRootFilter("e2e4 wtime 1000 d2d4", false);
        rig.think(5);
        EXPECT_EQ(rig.engine->rootMoveCount, 2);
        EXPECT_EQ(rig.listener.currMoves, 2 * 5);  // two root moves in each of five iterations
    }
    {
        // The mate is excluded, so it is not played; a bad move named alone is played.
        SearchRig rig(BACK_RANK_MATE);
        rig.engine->setRootFilter("d1d8", true);
        rig.think(5);
        EXPECT_EQ(rig.engine->rootMoveCount, 19);
        EXPECT_NE(text(rig.engine->game.position, rig.engine->pvMove), "d1d8");
        EXPECT_LT(rig.engine->lastScore, MATE_THRESHOLD);
    }
    {
        // One named move is a single root move; a filter that names no legal move is ignored.
        SearchRig rig(START);
        rig.engine->setRootFilter("g1f3", false);
        rig.think(6);
        EXPECT_EQ(text(rig.engine->game.position, rig.engine->pvMove), "g1f3");
        EXPECT_EQ(rig.engine->iterationDepth, 1);
        rig.engine->setRootFilter("e2e5 e7e5", false);
        rig.think(3);
        EXPECT_EQ(rig.engine->rootMoveCount, 20);
    }
}

TEST(RootSearch, MultiPvReportsTheBestLinesInScoreOrder) {
    SearchRig rig("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4");
    rig.engine->multiPv = 3;
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
            Position pos = rig.engine->game.position;
            EXPECT_TRUE(playLine(pos, r.line));
        }
        EXPECT_EQ(firstMoves.size(), 3u);
    }
    EXPECT_EQ(lines[lines.size() - 3].line[0], rig.engine->pvMove);
}

// Positions where a better move turns up at a later iteration.
const char* TACTICAL[] = {
    "r5rk/5p1p/5R2/4B3/8/8/7P/7K w - - 0 1",
    "2r3k1/p4p2/3Rp2p/1p2P1pK/8/1P4P1/P3Q2P/1q6 b - - 0 1",
    "r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1",
    "r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 1",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 0 8",
    "2rq1rk1/pp1bppbp/3p1np1/8/3NP3/1BN1BP2/PPPQ2PP/2KR3R b - - 0 12",
};

TEST(RootSearch, AFailHighIsReportedAsALowerBoundBeforeItsResearch) {
    int failHighs = 0;
    for (const char* fen : TACTICAL) {
        SearchRig rig(fen);
        rig.think(6);
        const auto& reports = rig.listener.pvLines;
        for (std::size_t i = 0; i < reports.size(); ++i) {
            const PvReport& r = reports[i];
            ASSERT_FALSE(r.line.empty()) << fen;
            EXPECT_EQ(r.line[0], r.pvMove);
            if (r.score < r.beta || r.beta >= WINDOW_END) continue;
            ++failHighs;
            EXPECT_GT(r.iteration, 0) << "the first iteration reports only its result";
            // The next report is the same move's re-search, or the fall-back to the old move.
            ASSERT_LT(i + 1, reports.size()) << fen;
            const PvReport& next = reports[i + 1];
            EXPECT_EQ(next.iteration, r.iteration);
            if (next.pvMove == r.pvMove) { EXPECT_GT(next.beta, r.beta) << fen; }
        }
    }
    EXPECT_GT(failHighs, 0);
}

// The table is rigged with a cycle (the knights go out and back): the PV stops before it closes.
TEST(ExtractPv, NeverHoldsACycle) {
    SearchRig rig(START);
    Engine& e = *rig.engine;
    Position pos = e.game.position;
    std::vector<Move> moves;
    for (const char* move : {"g1f3", "g8f6", "f3g1", "f6g8"}) {
        moves.push_back(parseMove(pos, move));
        ASSERT_TRUE(playLine(pos, {moves.back()}));
    }
    // Back at the start: each position of the cycle names the next move.
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(playLine(pos, {moves[i]}));
        e.table->store(pos.key, moves[(i + 1) % 4], 0, makeDepthWord(10, BOUND_EXACT), 0, 0);
    }
    PrincipalVariation line;
    const Move ponder = e.extractPv(moves[0], line);
    ASSERT_EQ(line.length, 3);
    EXPECT_EQ(line.moves[2], moves[2]);
    EXPECT_EQ(ponder, moves[1]);
}

}  // namespace
}  // namespace zelmora::test
