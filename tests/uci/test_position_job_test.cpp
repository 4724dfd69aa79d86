#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
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

namespace zelmora {
namespace {

const std::string GAMES = ZELMORA_TEST_DATA "/testpos/games.pgn";  // 24, 97, 30 and 142 plies

struct PositionLine {
    long value = 0, score = 0;
    std::string fen;
    std::uint64_t key = 0;
};

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

    void writeFile(const std::string& name, const std::string& text) const {
        std::ofstream(name, std::ios::binary) << text;
    }
    std::string readFile(const std::string& name) const {
        std::ifstream in(name, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    void writeControl(long lastGame, const std::string& pgn = GAMES) const {
        writeFile(control, first + "\n" + second + "\n" + std::to_string(lastGame) + "\n" + pgn + "\n");
    }

    // One run with a fixed seed and a small second search, so that a run takes seconds.
    bool run(std::uint32_t seed = 7) {
        progress.clear();
        messages.clear();
        RandomGenerator random(seed);
        TestPositionJob job(random, progress.get(), messages.get());
        job.fullNodes = 3000;
        const bool done = job.run(control.c_str());
        summary = job.summary();
        return done;
    }

    // Every line of a position file must have the exact layout and a FEN that reads back.
    std::vector<PositionLine> positions(const std::string& name) const {
        std::vector<PositionLine> result;
        std::istringstream in(readFile(name));
        for (std::string line; std::getline(in, line);) {
            PositionLine p;
            Position pos;
            char fen[128], expected[256];
            const bool read = std::sscanf(line.c_str(), "%8ld%8ld", &p.value, &p.score) == 2 && line.size() > 17 &&
                              pos.setFen(line.c_str() + 17) != nullptr;
            EXPECT_TRUE(read) << line;
            if (!read) continue;
            p.fen = pos.writeFen(fen);
            std::snprintf(expected, sizeof expected, "%8ld%8ld %s", p.value, p.score, fen);
            EXPECT_EQ(line, expected);
            EXPECT_FALSE(pos.inCheck()) << line;
            p.key = pos.key;
            result.push_back(p);
        }
        return result;
    }
    std::vector<PositionLine> allPositions() const {
        std::vector<PositionLine> all = positions(first), more = positions(second);
        all.insert(all.end(), more.begin(), more.end());
        return all;
    }
    static std::set<std::uint64_t> keysOf(const std::vector<PositionLine>& lines) {
        std::set<std::uint64_t> keys;
        for (const PositionLine& p : lines) keys.insert(p.key);
        return keys;
    }
    std::vector<std::string> expectedProgress(std::vector<long> games) const {
        std::vector<std::string> lines;
        for (long game : games) {
            char text[512];
            std::snprintf(text, sizeof text, "M:<%s> E:<%s>: Partie %6ld", first.c_str(), second.c_str(), game);
            lines.push_back(text);
        }
        return lines;
    }
    long controlGame() const {
        std::istringstream in(readFile(control));
        std::string line;
        for (int i = 0; i < 3; ++i) std::getline(in, line);
        return std::stol(line);
    }

    std::string dir_, first, second, control;
    test::CapturedFile progress, messages;
    TestPositionSummary summary;
};

TEST_F(TestPositionJobTest, HarvestsCheckedPositionsInTheFixedLayout) {
    writeControl(0);
    ASSERT_TRUE(run());
    // The 24-ply game is too short; the 30-ply game just qualifies.
    EXPECT_EQ(progress.lines(), expectedProgress({2, 3, 4}));

    const std::vector<PositionLine> inFirst = positions(first), inSecond = positions(second);
    EXPECT_EQ(long(inFirst.size()), summary.kept[0]);
    EXPECT_EQ(long(inSecond.size()), summary.kept[1]);
    ASSERT_GT(inFirst.size() + inSecond.size(), 0u);
    for (const PositionLine& p : allPositions()) {
        EXPECT_LE(std::labs(p.value), 2500) << p.fen;
        EXPECT_TRUE(p.score < -1 || p.score > 1) << p.fen;
        EXPECT_TRUE(-5500 - p.value <= p.score && p.score <= p.value + 5500) << p.fen;
    }
    EXPECT_EQ(keysOf(allPositions()).size(), inFirst.size() + inSecond.size());

    // The control file names the game of the last kept position, in its four-line layout.
    const long last = controlGame();
    EXPECT_TRUE(last >= 2 && last <= 4);
    EXPECT_EQ(readFile(control), first + "\n" + second + "\n" + std::to_string(last) + "\n" + GAMES + "\n");
    EXPECT_FALSE(std::filesystem::exists(control + ".new"));
}

TEST_F(TestPositionJobTest, NeverWritesAPositionTwiceAcrossRuns) {
    writeControl(0);
    ASSERT_TRUE(run(7));
    const std::vector<PositionLine> before = allPositions();
    ASSERT_FALSE(before.empty());

    // The same walk again lands on the same positions, which are known from the files even with
    // lines in between that the reader must pass over.
    const std::string clean = readFile(first);
    const std::string noisy = "\nshort line\n" + clean + "       0       5 not a fen at all\n";
    writeFile(first, noisy);
    writeControl(0);
    ASSERT_TRUE(run(7));
    const std::string grown = readFile(first);
    ASSERT_EQ(grown.compare(0, noisy.size(), noisy), 0);
    writeFile(first, clean + grown.substr(noisy.size()));
    EXPECT_EQ(allPositions().size(), before.size() + std::size_t(summary.kept[0] + summary.kept[1]));
    EXPECT_EQ(keysOf(allPositions()).size(), allPositions().size());

    // Other walks over the same games add only new positions.
    for (std::uint32_t seed : {11u, 12u}) {
        writeControl(0);
        ASSERT_TRUE(run(seed));
    }
    const std::vector<PositionLine> after = allPositions();
    EXPECT_GT(after.size(), before.size());
    EXPECT_EQ(keysOf(after).size(), after.size());
}

// Killed in the middle of a line while game 2 was walked: the control file already holds 2 and the
// line is cut off. The restart goes on with game 3, closes the cut line instead of gluing
// the next one to it, and writes no position twice.
TEST_F(TestPositionJobTest, ResumesWithTheNextGameAfterAKill) {
    writeControl(0);
    ASSERT_TRUE(run(7));
    const std::vector<PositionLine> before = allPositions();
    ASSERT_FALSE(before.empty());
    const std::string file = positions(first).empty() ? second : first;
    const std::string text = readFile(file);
    const std::string cut = text.substr(0, text.size() - 20);
    writeFile(file, cut);
    writeControl(2);

    ASSERT_TRUE(run(13));
    EXPECT_EQ(progress.lines(), expectedProgress({3, 4}));
    const std::string resumed = readFile(file);
    ASSERT_EQ(resumed.compare(0, cut.size() + 1, cut + "\n"), 0);
    const std::size_t cutLine = cut.rfind('\n') + 1;  // 0 when the cut line is the only one
    writeFile(file, resumed.substr(0, cutLine) + resumed.substr(cut.size() + 1));
    const std::vector<PositionLine> after = allPositions();
    EXPECT_EQ(keysOf(after).size(), after.size());
    EXPECT_EQ(long(after.size()), long(before.size()) - 1 + summary.kept[0] + summary.kept[1]);
}

}  // namespace
}  // namespace zelmora
