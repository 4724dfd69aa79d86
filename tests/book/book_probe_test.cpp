#include "book/book_probe.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "book/book_loader.h"
#include "book/book_test_support.h"
#include "search/transposition_table.h"

namespace zelmora {
namespace {

using test::moveOf;

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
    const std::uint64_t start = test::positionAfter({}).key;
    const Move e4 = moveOf({}, "e2e4"), d4 = moveOf({}, "d2d4"), c4 = moveOf({}, "c2c4");
    const std::uint64_t before = start - 1, after = start + 1;  // neighbours must not leak in
    const Move nf3 = moveOf({}, "g1f3");

    // r runs over 0..sum-1; the first record takes r up to its weight inclusive.
    struct Case {
        std::vector<int> weights;
        std::vector<double> shares;
    } cases[] = {
        {{3, 1}, {1.0, 0.0}},  {{1, 3}, {0.5, 0.5}},   {{0, 4}, {0.25, 0.75}},
        {{4, 0}, {1.0, 0.0}},  {{10, 20, 30}, {11 / 60.0, 20 / 60.0, 29 / 60.0}},
        {{-3, 5}, {0.0, 1.0}},
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
    const std::uint64_t start = test::positionAfter({}).key;
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
}  // namespace zelmora
