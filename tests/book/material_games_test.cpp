#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "board/notation.h"
#include "material/statistics.h"
#include "eval/evaluator.h"

namespace zelmora {
namespace {

Position fromFen(const char* fen) {
    Position pos;
    EXPECT_NE(pos.setFen(fen), nullptr) << fen;
    return pos;
}

// The coordinate moves from the FEN, the cycle repeated until the game has `plies` plies.
std::vector<Move> cycledGame(const char* fen, const std::vector<const char*>& cycle, int plies) {
    Position pos = fromFen(fen);
    std::vector<Move> moves;
    for (int i = 0; i < plies; ++i) {
        Move m = NO_MOVE;
        EXPECT_TRUE(textToMove(pos, cycle[i % cycle.size()], m, true)) << cycle[i % cycle.size()];
        UndoRecord undo;
        pos.makeLegal(m, undo);
        moves.push_back(m);
    }
    return moves;
}

TEST(MaterialKeys, CodesBishopClassesAndTheLeadingSide) {
    const struct {
        const char* fen;
        std::uint64_t key;  // its low bits are the bishop class
        bool blackAhead;
    } cases[] = {
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", 0, false},                                   // equal: no key
        {"2b1k3/8/8/8/8/8/P7/2B1K3 w - - 0 1", 0x101ull << 24 | 0x100 << 4 | 1, false},  // c8 light, c1 dark
        {"4kb2/8/8/8/8/8/P7/2B1K3 b - - 0 1", 0x101ull << 24 | 0x100 << 4 | 2, false},   // f8 and c1 dark
        {"4kb2/8/8/8/8/8/8/2B1KB2 w - - 0 1", 0x200ull << 24 | 0x100 << 4 | 3, false},
        {"4k3/8/8/8/8/8/8/2B1K3 w - - 0 1", 0x100ull << 24, false},
        {"rnbqkbnr/pppppppp/8/8/8/8/8/2B1K3 w kq - 0 1", 0x12228ull << 24 | 0x100 << 4 | 3, true},
    };
    for (const auto& c : cases) {
        const Position pos = fromFen(c.fen);
        EXPECT_EQ(materialClassKey(pos), c.key) << c.fen;
        EXPECT_EQ(bishopClass(pos), int(c.key & 15)) << c.fen;
        EXPECT_EQ(blackLeads(pos), c.blackAhead) << c.fen;
    }
}

TEST(MaterialGames, ShortGamesAreIgnoredAndRepeatedGamesCountOnce) {
    MaterialStatistics stats;
    const char* start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    const std::vector<const char*> shuffle = {"g1f3", "g8f6", "f3g1", "f6g8"};
    EXPECT_FALSE(stats.addGame(cycledGame(start, shuffle, 32), "", 0, 0, 1000, 1));
    EXPECT_TRUE(stats.games.empty());
    EXPECT_TRUE(stats.addGame(cycledGame(start, shuffle, 33), "", 0, 0, 1000, 1));
    EXPECT_TRUE(stats.addGame(cycledGame(start, shuffle, 33), nullptr, 0, 0, 1000, -1));
    EXPECT_EQ(stats.games.size(), 1u);
    EXPECT_TRUE(stats.positions.empty());  // equal material is never recorded

    // An impossible set-up or move adds nothing.
    EXPECT_FALSE(stats.addGame(cycledGame(start, shuffle, 40), "8/8/8 w - -", 0, 0, 1000, 1));
    std::vector<Move> broken = cycledGame(start, shuffle, 40);
    broken[20] = makeMove(0, 63, ROOK);
    EXPECT_FALSE(stats.addGame(broken, "", 0, 0, 1000, 1));
    EXPECT_EQ(stats.games.size(), 1u);
}

// A quiet game where one side is a knight up: the first position after the material has stood
// for two plies is recorded, once, from the leading side's point of view.
TEST(MaterialGames, OneQuietPositionPerClassSeenFromTheLeader) {
    struct Case {
        const char* fen;
        std::vector<const char*> cycle;
        bool blackAhead;
    };
    const Case cases[] = {
        // Black leads and White is to move at the recorded position: the evaluation is negated.
        {"r3k1n1/ppppp3/8/8/8/8/PPPPP3/R3K3 b - - 0 1", {"g8h6", "e1f1", "h6g8", "f1e1"}, true},
        // White leads and Black is to move: negated back to White's view.
        {"r3k3/ppppp3/8/8/8/8/PPPPP3/R3K1N1 w - - 0 1", {"g1h3", "e8f8", "h3g1", "f8e8"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fen);
        const std::vector<Move> moves = cycledGame(c.fen, c.cycle, 34);
        MaterialStatistics stats;
        // White rated 100 above Black; the leader wins.
        ASSERT_TRUE(stats.addGame(moves, c.fen, 2500, 2400, 1000, c.blackAhead ? -1 : 1));
        EXPECT_TRUE(stats.addGame(moves, c.fen, 2500, 2400, 1000, c.blackAhead ? -1 : 1));
        ASSERT_EQ(stats.positions.size(), 1u);

        Position recorded = fromFen(c.fen);
        for (int i = 0; i < 3; ++i) {
            UndoRecord undo;
            recorded.makeLegal(moves[i], undo);
        }
        const auto found = stats.positions.find(recorded.key);
        ASSERT_NE(found, stats.positions.end());
        const MaterialPositionRecord& r = found->second;

        auto evaluator = std::make_unique<Evaluator>();
        const int whiteScore = evaluator->material.score(recorded);
        const double leaderScore = c.blackAhead ? -whiteScore : whiteScore;
        const double leaderRating = c.blackAhead ? -100.0 : 100.0;
        EXPECT_GT(leaderScore, 0.0);
        EXPECT_EQ(r.materialKey, materialClassKey(recorded));
        EXPECT_DOUBLE_EQ(r.advantageSum, (leaderScore * 110.0 * 0.001 + leaderRating) * 1000);
        EXPECT_EQ(r.pointsSum, 1000);
        EXPECT_EQ(r.weightSum, 1000);
        EXPECT_DOUBLE_EQ(r.remainingSum, (34 - 2) * 1000.0);
    }
}

TEST(MaterialGames, DrawnGamesGiveHalfTheValueAndAPositionGathersOverGames) {
    const char* fen = "r3k1n1/ppppp3/8/8/8/8/PPPPP3/R3K3 b - - 0 1";
    MaterialStatistics stats;
    // Two games through the same position, told apart by their length.
    ASSERT_TRUE(stats.addGame(cycledGame(fen, {"g8h6", "e1f1", "h6g8", "f1e1"}, 40), fen, 0, 0, 500, 0));
    ASSERT_TRUE(stats.addGame(cycledGame(fen, {"g8h6", "e1f1", "h6g8", "f1e1"}, 36), fen, 0, 0, 1000, -1));
    ASSERT_EQ(stats.positions.size(), 1u);
    const MaterialPositionRecord& r = stats.positions.begin()->second;
    EXPECT_EQ(r.pointsSum, 250 + 1000);
    EXPECT_EQ(r.weightSum, 1500);
    EXPECT_DOUBLE_EQ(r.remainingSum, 38 * 500.0 + 34 * 1000.0);
}

}  // namespace
}  // namespace zelmora
