#include "book/book_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "book/book_loader.h"
#include "book/book_test_support.h"
#include "pgn/pgn_reader.h"
#include "support/captured_file.h"
#include "support/temp_file.h"

namespace zelmora::test {
namespace {


const double LOG_WIDTH = std::log(1.25);

// The first game of the sample collection (97 plies), cut to the given length.
std::vector<Move> sampleGame(std::size_t plies) {
    PgnReader reader(ZELMORA_TEST_DATA "/pgn/engine_games_sample.pgn");
    PgnGame game;
    EXPECT_TRUE(reader.nextGame(-1, game));
    game.moves.resize(std::min(plies, game.moves.size()));
    return game.moves;
}

MoveStats stats(const std::vector<std::string>& before, const std::string& move, std::uint32_t white,
                std::uint32_t black, int weight = 0) {
    return {white, black, moveOf(before, move), MoveStats::NOT_SCORED, weight, false};
}

class BookBuilderTest : public ::testing::Test {
protected:
    const MoveStats& entry(const std::vector<Move>& game, int ply) {
        Position pos;
        for (int i = 0; i < ply; ++i) {
            UndoRecord undo;
            pos.makeLegal(game[i], undo);
        }
        const std::vector<MoveStats>& list = builder->positions.at(pos.key());
        EXPECT_EQ(list.size(), 1u);
        return list[0];
    }
    std::vector<MoveStats>& listAt(const std::vector<std::string>& moves) {
        return builder->positions[positionAfter(moves).key()];
    }

    // Statistics start empty again, as after a write.
    void restart() { builder = std::make_unique<BookBuilder>(); }

    std::unique_ptr<BookBuilder> builder = std::make_unique<BookBuilder>();
};

TEST_F(BookBuilderTest, PointsOfAGameAndTheirDilutionTowardsADraw) {
    const std::vector<Move> game = sampleGame(37);
    ASSERT_TRUE(builder->addGame(game, nullptr, 1000, false, 1));
    // N = 37: ply 0 has f = 1 - 1/328, every later ply f = 1.
    EXPECT_EQ(entry(game, 0).whitePoints, 1996u);
    EXPECT_EQ(entry(game, 0).blackPoints, 1003u);
    EXPECT_EQ(entry(game, 1).whitePoints, 2000u);
    EXPECT_EQ(entry(game, 36).blackPoints, 1000u);
    EXPECT_EQ(builder->positions.size(), 37u);

    // The same game again adds nothing; the same opening won by the other side adds its share.
    EXPECT_FALSE(builder->addGame(game, nullptr, 1000, false, 1));
    ASSERT_TRUE(builder->addGame(game, nullptr, 1000, false, -1));
    EXPECT_EQ(entry(game, 1).whitePoints, 2000u);
    EXPECT_EQ(entry(game, 1).blackPoints, 2080u);  // Black's points weigh 108/100
    // A draw of value 1001 is worth 500 and 540: no more than is stored already.
    EXPECT_FALSE(builder->addGame(game, nullptr, 1001, false, 0));

    // A long game dilutes its early plies: N = 97, ply 0 has f = 1 - 61/328.
    restart();
    const std::vector<Move> longGame = sampleGame(97);
    ASSERT_TRUE(builder->addGame(longGame, nullptr, 1001, false, 0));
    const double f = 1 - 61.0 / 328;
    EXPECT_EQ(entry(longGame, 0).whitePoints, 1000u + std::uint32_t(f * 500 + (1 - f) * 540));
    EXPECT_EQ(entry(longGame, 0).blackPoints, 1000u + std::uint32_t(f * 540 + (1 - f) * 500));
    EXPECT_EQ(builder->positions.size(), 37u);  // only the opening counts
}

TEST_F(BookBuilderTest, ShortGamesCountOnlyWithAll) {
    const std::vector<Move> game = sampleGame(36);
    EXPECT_FALSE(builder->addGame(game, nullptr, 1000, false, 1));
    EXPECT_TRUE(builder->positions.empty());
    ASSERT_TRUE(builder->addGame(game, nullptr, 1000, true, -1));
    EXPECT_EQ(builder->positions.size(), 36u);
    EXPECT_EQ(entry(game, 0).blackPoints, 2080u);  // undiluted
    // With all, repeats are not filtered either.
    ASSERT_TRUE(builder->addGame(game, nullptr, 1000, true, -1));
    EXPECT_EQ(entry(game, 35).blackPoints, 3160u);

    EXPECT_FALSE(builder->addGame(game, "8/8/8 w - -", 1000, true, 0));  // a broken FEN adds nothing
}

TEST_F(BookBuilderTest, ScoringGivesLogOddsAndWeightsWithinTheWidth) {
    listAt({}) = {stats({}, "e2e4", 33156, 30000), stats({}, "d2d4", 30000, 30000), stats({}, "c2c4", 3000, 2000),
                  stats({}, "g1f3", 1500, 1000)};
    Position start;
    const float value = builder->scoreBookTree(start, 4000, LOG_WIDTH);
    const std::vector<MoveStats>& list = listAt({});
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].move, moveOf({}, "e2e4"));  // sorted by value
    EXPECT_NEAR(list[0].value, 0.1, 1e-4);
    EXPECT_EQ(list[0].weight, 99);
    EXPECT_EQ(list[1].move, moveOf({}, "d2d4"));
    EXPECT_EQ(list[1].weight, 54);  // (0.00 + 0.2231 - 0.10) / 0.2231 * 99
    // c4 was played less than a sixth as often as e4: practically excluded.
    EXPECT_EQ(list[2].move, moveOf({}, "c2c4"));
    EXPECT_NEAR(list[2].value, std::log(1.5) - 99, 1e-3);
    EXPECT_EQ(list[2].weight, 0);
    EXPECT_TRUE(list[3].written);  // not above the count limit: dropped
    // The best move's games count twice in the position's value.
    EXPECT_NEAR(value, std::log((33156.0 * 2 + 30000 + 3000 + 1500) / (30000.0 * 2 + 30000 + 2000 + 1000)), 1e-4);
}

TEST_F(BookBuilderTest, ScoringBacksUpReplies) {
    // 1. e4 looks good by its results, but Black's only reply scores well: backed up, it is bad.
    listAt({}) = {stats({}, "e2e4", 30000, 10000), stats({}, "d2d4", 10000, 10000)};
    listAt({"e2e4"}) = {stats({"e2e4"}, "e7e5", 10000, 20000)};
    listAt({"d2d4"}) = {stats({"d2d4"}, "g8f6", 10000, 10000)};
    listAt({"d2d4", "g8f6"}) = {stats({"d2d4", "g8f6"}, "c2c4", 10000, 10000)};
    Position start;
    builder->scoreBookTree(start, 4000, LOG_WIDTH);
    const std::vector<MoveStats>& root = listAt({});
    EXPECT_EQ(root[0].move, moveOf({}, "d2d4"));
    EXPECT_EQ(root[1].move, moveOf({}, "e2e4"));
    EXPECT_NEAR(root[1].value, -std::log(2.0), 1e-4);
    // A single move above the limit has weight 99, and the position takes its value.
    EXPECT_EQ(listAt({"e2e4"})[0].weight, 99);
    EXPECT_NEAR(listAt({"e2e4"})[0].value, std::log(2.0), 1e-4);
    EXPECT_NEAR(root[0].value, 0.0, 1e-4);
}

TEST_F(BookBuilderTest, WriterLayoutTranspositionsAndRoundTrip) {
    listAt({}) = {stats({}, "e2e4", 5000, 5000, 99), stats({}, "d2d4", 5000, 5000, 40)};
    listAt({"e2e4"}) = {stats({"e2e4"}, "e7e5", 5000, 5000, 99), stats({"e2e4"}, "c7c5", 5000, 5000, 50)};
    test::TempFile file;
    std::FILE* out = std::fopen(file.name(), "w");
    Position start;
    builder->writeBookTree(start, 0, out);
    std::fputs("* -1\n", out);
    std::fclose(out);
    EXPECT_EQ(file.read(), "  e2e4 99   e7e5 99 * \n            c7c5 50 * * \n  d2d4 40 * * -1\n");
    EXPECT_EQ(builder->whiteMoves, 2);
    EXPECT_EQ(builder->blackMoves, 2);
    TranspositionTable table;
    EXPECT_TRUE(loadBook(file.name(), table));
    EXPECT_EQ(table.bookCount, 4u);

    // 1. Nf3 d5 2. d4 and 1. d4 d5 2. Nf3 meet: the meeting point is written under the first path.
    // Moves without weight are written only as the way into weighted moves.
    restart();
    listAt({}) = {stats({}, "g1f3", 5000, 5000, 99), stats({}, "d2d4", 5000, 5000, 0),
                  stats({}, "c2c4", 5000, 5000, 0)};
    listAt({"g1f3"}) = {stats({"g1f3"}, "d7d5", 5000, 5000, 99)};
    listAt({"g1f3", "d7d5"}) = {stats({"g1f3", "d7d5"}, "d2d4", 5000, 5000, 99)};
    listAt({"d2d4"}) = {stats({"d2d4"}, "d7d5", 5000, 5000, 99)};
    listAt({"d2d4", "d7d5"}) = {stats({"d2d4", "d7d5"}, "g1f3", 5000, 5000, 99)};
    listAt({"g1f3", "d7d5", "d2d4"}) = {stats({"g1f3", "d7d5", "d2d4"}, "c7c5", 5000, 5000, 99)};
    listAt({"c2c4"}) = {stats({"c2c4"}, "e7e5", 5000, 5000, 0)};
    out = std::fopen(file.name(), "w");
    builder->writeBookTree(start, 0, out);
    std::fclose(out);
    EXPECT_EQ(file.read(),
              "  g1f3 99   d7d5 99   d2d4 99   c7c5 99 * * * * \n"
              "  d2d4  0   d7d5 99   g1f3 99 * * * ");
}

TEST_F(BookBuilderTest, EmptyStatisticsAndChess960Trees) {
    test::TempFile file;
    test::CapturedFile errors;
    EXPECT_TRUE(builder->write(file.name(), 3000, 0.25, errors.get()));
    EXPECT_EQ(file.read(), "* -1\n");
    restart();
    EXPECT_TRUE(builder->write960(file.name(), 3000, 0.25, errors.get()));
    EXPECT_EQ(file.read(), "* -1\n");
    EXPECT_FALSE(builder->write("/nonexistent/dir/book.opn", 3000, 0.25, errors.get()));
    EXPECT_EQ(errors.text(), "info string error opening the output file /nonexistent/dir/book.opn\n");

    // One tree per array that occurs, each behind its "startpos" line; 960 is array 0.
    restart();
    Position array;
    ASSERT_TRUE(array.setChess960(0));
    char fen[128];
    array.writeFen(fen);
    Move m = NO_MOVE;
    ASSERT_TRUE(textToMove(array, "g2g3", m, true));
    for (int i = 0; i < 3; ++i) {  // three wins: above the count limit of 4000 points
        ASSERT_TRUE(builder->addGame({m}, fen, 1000, true, 1));
        ASSERT_TRUE(builder->addGame({moveOf({}, "e2e4")}, nullptr, 1000, true, 1));
    }
    ASSERT_TRUE(builder->write960(file.name(), 3000, 0.25));
    EXPECT_EQ(file.read(), "\nstartpos 518\n  e2e4 99 * \n\nstartpos 960\n  g2g3 99 * \n* -1\n");
    TranspositionTable table;
    EXPECT_TRUE(loadBook(file.name(), table));
    EXPECT_EQ(table.bookCount, 2u);
}

}  // namespace
}  // namespace zelmora::test
