#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "book/material_statistics.h"
#include "support/captured_file.h"
#include "support/temp_file.h"
#include "util/random.h"

namespace zelmora {
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

TEST(MaterialTrainingFile, PositionsFoldWithFallingWeight) {
    const std::uint64_t a = classKey(0x101, 0x100, 0), b = classKey(0x11, 0x10, 0);
    MaterialStatistics stats;
    stats.positions[1] = {a, 100.0, 1000, 2000, 50000.0};  // two games: factor 0.8
    stats.positions[2] = {a, 10.0, 500, 1000, 100.0};      // one game: factor 1
    stats.positions[3] = {b, 30.0, 3000, 3000, 900.0};     // three games: factor 0.65333...
    stats.foldPositions();
    ASSERT_EQ(stats.classes.size(), 2u);
    const MaterialClassRecord& ca = stats.classes[a];
    EXPECT_NEAR(ca.advantageSum, 90.0, 1e-9);
    EXPECT_NEAR(ca.pointsSum, 1300.0, 1e-9);
    EXPECT_NEAR(ca.weightSum, 2600.0, 1e-9);
    EXPECT_NEAR(ca.remainingSum, 40100.0, 1e-9);
    EXPECT_NEAR(stats.classes[b].weightSum, 3000 * -2.5 * (0.216 - 1.0) / 3.0, 1e-9);
    EXPECT_TRUE(stats.positions.empty());  // a second fold adds nothing
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
        {whole.substr(0, 3), "is empty or truncated"},
        {whole.substr(0, 4 + 8 * games - 3), "truncated in its game signatures"},
        {whole.substr(0, 4 + 8 * games + 2), "truncated before its position count"},
        {whole.substr(0, recordsStart + 60), "truncated in its position records"},
        {whole.substr(0, whole.size() - 1), "truncated in its position records"},
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

}  // namespace
}  // namespace zelmora
