#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "board/position.h"
#include "support/captured_file.h"
#include "uci/test_position_job.h"
#include "util/random.h"

namespace zelmora::test {
namespace {

const std::string GAMES = ZELMORA_TEST_DATA "/testpos/games.pgn";  // 24, 97, 30 and 142 plies

std::string readFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

class TestPositionJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zelmora-testpos-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        first = dir_ + "/first.fen";
        second = dir_ + "/second.fen";
        control = dir_ + "/control.txt";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    void writeControl(long lastGame) const {
        std::ofstream(control) << first + "\n" + second + "\n" + std::to_string(lastGame) + "\n" + GAMES + "\n";
    }
    // One run with a fixed seed and a small second search, so that a run takes seconds.
    bool run(std::uint32_t seed) {
        progress.clear();
        RandomGenerator random(seed);
        TestPositionJob job(random, progress.get(), messages.get());
        job.fullNodes = 3000;
        const bool done = job.run(control.c_str());
        summary = job.summary();
        return done;
    }
    // The keys of both files' positions; every line must have the exact layout, a FEN that reads
    // back, the side to move not in check, and values within the harvest's bounds.
    std::vector<std::uint64_t> keys() const {
        std::vector<std::uint64_t> result;
        for (const std::string& name : {first, second}) {
            std::istringstream in(readFile(name));
            for (std::string line; std::getline(in, line);) {
                long value = 0, score = 0;
                Position pos;
                char fen[128], expected[256];
                const bool read = std::sscanf(line.c_str(), "%8ld%8ld", &value, &score) == 2 && line.size() > 17 &&
                                  pos.setFen(line.c_str() + 17) != nullptr;
                EXPECT_TRUE(read) << line;
                if (!read) continue;
                std::snprintf(expected, sizeof expected, "%8ld%8ld %s", value, score, pos.writeFen(fen));
                EXPECT_EQ(line, expected);
                EXPECT_FALSE(pos.inCheck()) << line;
                EXPECT_LE(std::labs(value), 2500) << line;
                EXPECT_TRUE((score < -1 || score > 1) && -5500 - value <= score && score <= value + 5500) << line;
                result.push_back(pos.key);
            }
        }
        return result;
    }

    std::string dir_, first, second, control;
    test::CapturedFile progress, messages;
    TestPositionSummary summary;
};

TEST_F(TestPositionJobTest, HarvestsCheckedPositionsAndNeverOneTwice) {
    EXPECT_FALSE(run(7));  // no control file yet
    EXPECT_TRUE(progress.text().empty());
    writeControl(0);
    ASSERT_TRUE(run(7));
    // The 24-ply game is too short; the 30-ply game just qualifies.
    char line[512];
    std::snprintf(line, sizeof line, "M:<%s> E:<%s>: Partie %6d", first.c_str(), second.c_str(), 4);
    EXPECT_EQ(progress.lines().size(), 3u);
    EXPECT_EQ(progress.lines().back(), line);
    const std::vector<std::uint64_t> before = keys();
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(long(before.size()), summary.kept[0] + summary.kept[1]);
    // The control file names the game of the last kept position, in its four-line layout.
    const std::string text = readFile(control);
    EXPECT_TRUE(text == first + "\n" + second + "\n3\n" + GAMES + "\n" || text == first + "\n" + second + "\n4\n" + GAMES + "\n")
        << text;

    // The same walk again lands on the same positions, which are known from the files even with
    // lines in between that the reader must pass over; other walks add only new positions.
    std::ofstream(first, std::ios::app) << "\nshort line\n       0       5 not a fen at all\n";
    for (std::uint32_t seed : {7u, 11u, 12u}) {
        writeControl(0);
        ASSERT_TRUE(run(seed));
    }
    std::string cleaned, kept;
    for (std::istringstream in(readFile(first)); std::getline(in, kept);)
        if (kept.size() > 40) cleaned += kept + "\n";
    std::ofstream(first) << cleaned;
    const std::vector<std::uint64_t> after = keys();
    EXPECT_GT(after.size(), before.size());
    EXPECT_EQ(std::set<std::uint64_t>(after.begin(), after.end()).size(), after.size());
}

}  // namespace
}  // namespace zelmora::test
