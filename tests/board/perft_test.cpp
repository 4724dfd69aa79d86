#include "board/perft.h"

#include <cstdio>
#include <fstream>

#include "board_helpers.h"

namespace zelmora::test {
namespace {

// "FEN ;D1 n ;D2 n ..." lines.
struct PerftCase {
    std::string fen;
    std::vector<std::pair<int, unsigned long long>> counts;  // (depth, leaf count)
};

std::vector<PerftCase> loadPerftFile(const std::string& name) {
    std::ifstream in(std::string(ZELMORA_TEST_DATA) + "/perft/" + name);
    std::vector<PerftCase> cases;
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t semi = line.find(';');
        if (semi == std::string::npos) continue;
        PerftCase c{line.substr(0, semi), {}};
        for (std::size_t p = semi; p != std::string::npos; p = line.find(';', p + 1)) {
            int depth = 0;
            unsigned long long count = 0;
            if (std::sscanf(line.c_str() + p, ";D%d %llu", &depth, &count) == 2) c.counts.emplace_back(depth, count);
        }
        cases.push_back(c);
    }
    return cases;
}

// Runs every count of the file up to the node budget; returns the number of counts checked.
int checkFile(const std::string& name, unsigned long long budget, std::size_t stride = 1) {
    const std::vector<PerftCase> cases = loadPerftFile(name);
    EXPECT_FALSE(cases.empty()) << name;
    int checked = 0;
    for (std::size_t i = 0; i < cases.size(); i += stride) {
        GameRecord game;
        if (!game.setFen(cases[i].fen.c_str())) {
            ADD_FAILURE() << "rejected " << cases[i].fen;
            continue;
        }
        for (const auto& [depth, count] : cases[i].counts) {
            if (count > budget) break;
            Position pos = game.position;
            EXPECT_EQ(perft(pos, depth), count) << cases[i].fen << " depth " << depth;
            ++checked;
        }
    }
    return checked;
}

TEST(Perft, StandardReferencePositions) { EXPECT_GT(checkFile("standard.epd", 2000000), 500); }

TEST(Perft, Chess960ReferencePositions) {
    EXPECT_GT(checkFile("chess960.epd", 100000), 2880);
    EXPECT_GT(checkFile("chess960.epd", 2000000, 23), 160);
}

// Random-walk positions (Chess960 included) whose counts came from another engine.
TEST(Perft, RandomPositionsAgreeWithAnotherEngine) { EXPECT_GT(checkFile("random.epd", 2000000), 1500); }

TEST(Perft, StartPositionDepthsAndTheNodeTable) {
    Position pos;
    EXPECT_EQ(perft(pos, 0), 0u);
    EXPECT_EQ(perft(pos, 3), 8902u);
    PerftTable table(16);
    EXPECT_EQ(table.size(), std::size_t(1) << 19);  // largest power of two of 24-byte entries in 16 MiB
    EXPECT_EQ(perft(pos, 5, &table), 4865609u);
    EXPECT_EQ(perft(pos, 5, &table), 4865609u);  // now answered from the table
    EXPECT_EQ(PerftTable(0).size(), 0u);
    // A tiny table forces constant replacement; the counts must not change.
    for (const PerftCase& c : loadPerftFile("standard.epd")) {
        for (const auto& [depth, count] : c.counts) {
            if (depth != 4 || count > 2000000) continue;
            Position p = fromFen(c.fen);
            PerftTable tiny(1);
            EXPECT_EQ(perft(p, 4, &tiny), count) << c.fen;
        }
    }
    // Two bishops check along one diagonal from both sides: taking one walks into the other.
    Position doubleCheck = fromFen("B6b/8/8/8/2K5/5k2/6B1 b - -");
    EXPECT_EQ(perft(doubleCheck, 1), legalMoves(doubleCheck).size());
}

}  // namespace
}  // namespace zelmora::test
