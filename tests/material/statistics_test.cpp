#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "board/notation.h"
#include "material/statistics.h"
#include "support/captured_file.h"
#include "support/chess.h"
#include "support/temp_file.h"
#include "util/random.h"

namespace zelmora::test {
namespace {

const std::string SAMPLE = ZELMORA_TEST_DATA "/pgn/engine_games_sample.pgn";

constexpr std::uint64_t classKey(std::uint64_t strong, std::uint64_t weak, int bishops) {
    return strong << 24 | weak << 4 | std::uint64_t(bishops);
}

std::string trainingText(MaterialStatistics& stats) {
    test::TempFile file;
    EXPECT_TRUE(stats.writeTrainingFile(file.name()));
    return file.read();
}

TEST(MaterialTrainingFile, OneLinePerClassWithWeightInKeyOrder) {
    MaterialStatistics stats;
    stats.classes[classKey(0x11118, 0x11117, 1)] = {3000.0, 1500.0, 2000.0, 80000.0};
    stats.classes[classKey(0x3, 0x2, 0)] = {0.0, 250.0, 1000.0, 12500.0};
    stats.classes[classKey(0x1100, 0x30, 2)] = {-1234.5, 0.0, 500.0, 0.0};
    stats.classes[classKey(0x10, 0x1, 0)] = {0.0, 0.0, 1999.9, 0.0};
    stats.classes[classKey(0x20, 0x1, 0)] = {5.0, 5.0, 0.0, 5.0};  // no weight: not written
    EXPECT_EQ(trainingText(stats),
              "00003 00002  0   1 0.250000       1000      0.000   12.5\n"
              "00010 00001  0   2 0.000000       1999      0.000    0.0\n"
              "01100 00030  1  -1 0.000000        500     -2.469    0.0\n"
              "11118 11117 -1   1 0.750000       2000      1.500   40.0\n");
}

class MaterialDump : public ::testing::Test {
protected:
    MaterialDump() {
        EXPECT_TRUE(original->addGames(SAMPLE.c_str(), 1000, -1, messages.get()));
        EXPECT_GT(original->positions.size(), 10u);
        EXPECT_TRUE(original->writeDump(dump.name(), messages.get()));
    }

    test::CapturedFile messages;
    std::unique_ptr<MaterialStatistics> original = std::make_unique<MaterialStatistics>();
    test::TempFile dump;
};

TEST_F(MaterialDump, ReadingBackGivesTheSameSumsAndKnowsTheGames) {
    // Dumps keep the games' signatures, so the signatures of the same games must never change.
    EXPECT_EQ(*original->games.begin(), 0x0db134c68bd85fc9ULL);
    EXPECT_EQ(*original->games.rbegin(), 0xffe89e110f92a137ULL);
    auto copy = std::make_unique<MaterialStatistics>();
    const MaterialPositionRecord kept = {classKey(0x1, 0, 0), 1.0, 2, 3, 4.0};
    copy->positions[42] = kept;
    const std::uint64_t overwritten = original->positions.begin()->first;
    copy->positions[overwritten] = kept;
    copy->games.insert(7);

    ASSERT_TRUE(copy->readDump(dump.name(), messages.get()));
    EXPECT_EQ(copy->games, original->games);  // replaced
    EXPECT_EQ(copy->positions.size(), original->positions.size() + 1);
    EXPECT_EQ(copy->positions[42].weightSum, kept.weightSum);
    copy->positions.erase(42);
    for (const auto& [key, r] : original->positions)  // bit for bit; the record has no padding
        EXPECT_EQ(std::memcmp(&copy->positions[key], &r, sizeof r), 0);

    // The games of the dump are known: adding them again changes nothing.
    ASSERT_TRUE(copy->addGames(SAMPLE.c_str(), 1000, -1, messages.get()));
    EXPECT_EQ(copy->positions.size(), original->positions.size());
    const std::string text = trainingText(*original);
    EXPECT_GT(text.size(), 100u);
    EXPECT_EQ(trainingText(*copy), text);
}

TEST_F(MaterialDump, DamagedDumpsChangeNothing) {
    const std::string whole = dump.read();
    const std::size_t games = original->games.size();
    const std::size_t recordsStart = 4 + 8 * games + 4;
    ASSERT_EQ(whole.size(), recordsStart + 40 * original->positions.size());

    std::string badKey = whole;
    badKey[recordsStart + 8 + 7] = '\x7F';  // material key beyond 44 bits
    const struct {
        std::string content;
        const char* problem;
    } cases[] = {
        {"", "is empty or truncated"},
        {whole.substr(0, 4 + 8 * games - 3), "truncated in its game signatures"},
        {whole.substr(0, recordsStart + 60), "truncated in its position records"},
        {whole + "x", "has bytes beyond its last record"},
        {badKey, "without a valid material class"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        test::TempFile damaged(c.content);
        MaterialStatistics stats;
        stats.games.insert(7);
        stats.positions[42] = {classKey(0x1, 0, 0), 1.0, 2, 3, 4.0};
        test::CapturedFile errors;
        EXPECT_FALSE(stats.readDump(damaged.name(), errors.get()));
        EXPECT_EQ(stats.games.size(), 1u);
        EXPECT_EQ(stats.positions.size(), 1u);
        EXPECT_NE(errors.text().find(c.problem), std::string::npos) << errors.text();
        EXPECT_NE(errors.text().find("nothing read"), std::string::npos);
    }
}

// The coordinate moves from the FEN, the cycle repeated until the game has `plies` plies.
std::vector<Move> cycledGame(const char* fen, const std::vector<const char*>& cycle, int plies) {
    Position pos = fromFen(fen);
    std::vector<Move> moves;
    for (int i = 0; i < plies; ++i) {
        moves.push_back(parseMove(pos, cycle[i % cycle.size()]));
        EXPECT_TRUE(playLine(pos, {moves.back()}));
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

}  // namespace
}  // namespace zelmora::test
