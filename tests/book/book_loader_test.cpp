#include <gtest/gtest.h>

#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "book/book_loader.h"
#include "book/book_probe.h"
#include "book/book_test_support.h"
#include "search/engine.h"
#include "search/transposition_table.h"
#include "support/temp_file.h"
#include "util/platform.h"

namespace zelmora::test {
namespace {


bool loadText(const std::string& text, TranspositionTable& table) {
    test::TempFile file(text);
    return loadBook(file.name(), table);
}

TEST(BookLoader, WellFormedFilesGiveOneSortedRecordPerMove) {
    TranspositionTable table;
    EXPECT_TRUE(loadText("*", table));
    EXPECT_EQ(table.bookCount, 0u);  // a book without moves is no book

    const std::uint64_t start = positionAfter({}).key();
    for (const char* text : {"startpos 518 e2e4 10 * *", "e4 10\n*\n* -1 trailing words", "\tstartpos\n518 e4 10 * * *"}) {
        ASSERT_TRUE(loadText(text, table)) << text;
        ASSERT_EQ(table.bookCount, 1u);
        const TTEntry& e = table.entries()[0];
        EXPECT_TRUE(keyOf(e) == start && e.move == moveOf({}, "e2e4") && e.score == 10 && e.depthWord == 0);
        EXPECT_EQ(e.age, table.age());
    }

    // The writer's own layout, a repeated move, and weights of zero and below.
    ASSERT_TRUE(loadText("  e2e4 99   e7e5 99 * \n            c7c5 50 * * \n  d2d4 40 * * -1\n"
                         "garbage after the end",
                         table));
    ASSERT_EQ(table.bookCount, 4u);
    for (std::uint32_t i = 1; i < table.bookCount; ++i)
        EXPECT_LE(keyOf(table.entries()[i - 1]), keyOf(table.entries()[i]));
    // The moves of a position keep the file's order, so a weight of 0 behind others is never drawn.
    ASSERT_TRUE(loadText("e2e4 5 * g1f3 1 * e2e4 0 * d2d4 -7 * *", table));
    ASSERT_EQ(table.bookCount, 4u);
    const Move order[] = {moveOf({}, "e2e4"), moveOf({}, "g1f3"), moveOf({}, "e2e4"), moveOf({}, "d2d4")};
    const int weights[] = {5, 1, 0, -7};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(table.entries()[i].move, order[i]);
        EXPECT_EQ(table.entries()[i].score, weights[i]);
    }

    // "startpos" switches to a Chess960 array (960 is array 0).
    ASSERT_TRUE(loadText("startpos 960 b2b3 1 * startpos 518 e2e4 1 * *", table));
    Position chess960;
    chess960.setChess960(0);
    EXPECT_TRUE(keyOf(table.entries()[0]) == chess960.key() || keyOf(table.entries()[1]) == chess960.key());
}

TEST(BookLoader, BrokenFilesLeaveThePlaceholderBook) {
    TranspositionTable table;
    const std::string broken[] = {
        "", "e2e4 -1 * *", "e2e4 10 *", "e2e4 10", "e2e4 ten * *", "e2e5 10 * *", "e2e4 10 e2e4 10 * * *",
        "startpos x e2e4 1 * *", "e2e4 1 startpos 518 * *", "e2e4 99999999999 * *",
        std::string(40000, 'e') + " 1 * *", std::string("\xFF\xFE\x01 1 * *"), std::string("e2e4 1 \0 * *", 12),
    };
    for (const std::string& text : broken) {
        EXPECT_FALSE(loadText(text, table)) << text;
        EXPECT_TRUE(test::isPlaceholder(table)) << text;
    }
    EXPECT_FALSE(loadBook("/nonexistent/book.opn", table));
    EXPECT_TRUE(test::isPlaceholder(table));
}

TEST(BookLoader, ABookMustLeaveRoomInTheTable) {
    TranspositionTable small(0);  // the smallest table
    const int slots = int(small.slots());
    // A knight shuffle as deep as wanted: every move opens a level of its own.
    const char* shuffle[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    auto line = [&](int moves) {
        std::string text;
        for (int i = 0; i < moves; ++i) text += std::string(shuffle[i % 4]) + " 1 ";
        for (int i = 0; i <= moves; ++i) text += "* ";
        return text;
    };
    EXPECT_TRUE(loadText(line(slots - 1), small));
    EXPECT_EQ(int(small.bookCount), slots - 1);
    EXPECT_FALSE(loadText(line(slots), small));
    EXPECT_TRUE(test::isPlaceholder(small));

    // A line of 100,000 moves costs no stack (the loader does not recurse).
    TranspositionTable table;
    EXPECT_TRUE(loadText(line(100000), table));
    EXPECT_EQ(table.bookCount, 100000u);
}


struct Record {
    std::uint64_t key;
    Move move;
    int weight;
};

// Writes the records as they stand (already in key order) to the front of the table.
void setBook(TranspositionTable& table, const std::vector<Record>& records) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        TTEntry& e = table.entries()[i];
        e = TTEntry{};
        e.keyLow = std::uint32_t(records[i].key);
        e.keyHigh = std::uint32_t(records[i].key >> 32);
        e.move = records[i].move;
        e.score = records[i].weight;
    }
    table.bookCount = std::uint32_t(records.size());
}

// How often each move is chosen in n probes of the key.
std::map<Move, int> tally(TranspositionTable& table, std::uint64_t key, int n, int* misses = nullptr) {
    RandomGenerator random(12345);
    std::map<Move, int> counts;
    for (int i = 0; i < n; ++i) {
        Move m = NO_MOVE;
        if (probeBook(table, key, m, random)) ++counts[m];
        else if (misses) ++*misses;
    }
    return counts;
}

TEST(BookProbe, MovesAreDrawnByWeightInRecordOrder) {
    TranspositionTable table;
    const std::uint64_t start = test::positionAfter({}).key();
    const Move e4 = moveOf({}, "e2e4"), d4 = moveOf({}, "d2d4"), c4 = moveOf({}, "c2c4");
    const std::uint64_t before = start - 1, after = start + 1;  // neighbours must not leak in
    const Move nf3 = moveOf({}, "g1f3");

    // r runs over 0..sum-1; the first record takes r up to its weight inclusive.
    struct Case {
        std::vector<int> weights;
        std::vector<double> shares;
    } cases[] = {
        {{3, 1}, {1.0, 0.0}},  {{1, 3}, {0.5, 0.5}},   {{0, 4}, {0.25, 0.75}},
        {{4, 0}, {1.0, 0.0}},  {{10, 20, 30}, {11 / 60.0, 20 / 60.0, 29 / 60.0}}, {{-3, 5}, {0.0, 1.0}},
    };
    const Move moves[] = {e4, d4, c4};
    for (const Case& c : cases) {
        std::vector<Record> records = {{before, nf3, 50}};
        for (std::size_t i = 0; i < c.weights.size(); ++i) records.push_back({start, moves[i], c.weights[i]});
        records.push_back({after, nf3, 50});
        setBook(table, records);
        const int n = 60000;
        const std::map<Move, int> counts = tally(table, start, n);
        for (std::size_t i = 0; i < c.weights.size(); ++i) {
            const auto found = counts.find(moves[i]);
            const double share = found == counts.end() ? 0.0 : double(found->second) / n;
            EXPECT_NEAR(share, c.shares[i], 0.01) << "weights " << c.weights[0] << " " << c.weights[1];
        }
        EXPECT_EQ(counts.count(nf3), 0u);
    }
}

TEST(BookProbe, NoMoveWithoutAUsableGroup) {
    TranspositionTable table;
    const std::uint64_t start = test::positionAfter({}).key();
    const Move e4 = moveOf({}, "e2e4"), d4 = moveOf({}, "d2d4");
    Move m = NO_MOVE;
    setBook(table, {{start, e4, 0}, {start, d4, 0}});
    EXPECT_FALSE(probeBook(table, start, m));
    setBook(table, {{start, e4, 2}, {start, d4, -5}});
    EXPECT_FALSE(probeBook(table, start, m));
    setBook(table, {{start, e4, 5}});
    EXPECT_FALSE(probeBook(table, start + 1, m));
    EXPECT_FALSE(probeBook(table, 0, m));
    table.bookCount = 0;  // normal table mode: the old records mean nothing
    EXPECT_FALSE(probeBook(table, start, m));
    setPlaceholderBook(table);
    EXPECT_FALSE(probeBook(table, 0, m));  // the placeholder's key, but no move
    EXPECT_FALSE(probeBook(table, start, m));
    EXPECT_EQ(m, NO_MOVE);
}

}  // namespace
}  // namespace zelmora::test
