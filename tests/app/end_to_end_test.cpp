// Runs the built engine as a separate process on prepared input.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace zelmora::test {
namespace {

class EngineProcess : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zelmora-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + directory_ + "'").c_str()); }

    // Feeds input to the engine (in a scratch directory, under a time limit); returns its exit status.
    int run(const std::string& input, const std::string& arguments = "") {
        std::ofstream(directory_ + "/in", std::ios::binary) << input;
        std::string command = "cd '" + directory_ + "' && timeout 300 '" ZELMORA_BINARY "' " + arguments +
                              " < in > out 2> err";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::vector<std::string> lines(const char* name) const {
        std::ifstream file(directory_ + "/" + name, std::ios::binary);
        std::vector<std::string> result;
        for (std::string line; std::getline(file, line);) result.push_back(line);
        return result;
    }

    std::string directory_;
};

// Command words mixed with the words their arguments use. Commands that write files or can block
// the loop for good (quit, tools, blocking or silent output) are left out on purpose.
const std::vector<std::string> WORDS = {
    "uci", "debug", "on", "off", "isready", "setoption", "name", "value", "ucinewgame", "position",
    "startpos", "fen", "moves", "Chess960", "go", "stop", "ponderhit", "perft", "depth", "divide",
    "eval", "Ponder", "OwnBook", "Clear", "MultiPV", "UCI_Chess960", "Opponent", "NumberOfProcessors",
    "NeuroMaterial", "NeuroWidth", "Resign", "AlwaysClearHash", "true", "false", "wtime", "btime",
    "winc", "binc", "movestogo", "movetime", "nodes", "mate", "infinite", "searchmoves", "excludemoves",
    "e2e4", "e7e5", "g1f3", "e1g1", "O-O", "O-O-O", "e7e8q", "a7a8n", "0000", "-1", "0", "1", "2", "3",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", "w", "b", "KQkq", "-", "8/8/8/8/8/8/8/8",
    "r3k2r/8/8/8/8/8/8/R3K2R", "4k3/4P3/4K3/8/8/8/8/8", "\xE4", "\"",
};
// "perft" only comes with a small depth: "depth 8/8/8/8/8/8/8/8" would be an honest eight-ply count.
const std::vector<std::string> COMMANDS = {"debug", "isready", "setoption", "ucinewgame", "position", "go",
                                           "stop",  "ponderhit", "eval", "uci"};

std::string garbage(std::uint32_t seed, int lineCount) {
    std::mt19937 random(seed);
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    std::ostringstream text;
    text << "uci\n";
    for (int i = 0; i < lineCount; ++i) {
        const auto kind = random() % 10;
        if (kind < 3) {  // any bytes but the line end
            for (int k = static_cast<int>(random() % 120); k > 0; --k) {
                const char c = static_cast<char>(random() % 256);
                text << (c == '\n' ? ' ' : c);
            }
        } else if (kind == 3) {  // perft kept shallow so that the run stays short
            text << "perft depth " << random() % 3 << (random() % 2 ? " divide" : "") << " Hash " << random() % 3;
        } else if (kind == 4) {
            text << "position " << (random() % 2 ? "startpos" : "fen " + pick(WORDS) + " " + pick(WORDS)) << " moves";
            for (int k = static_cast<int>(random() % 6); k > 0; --k) text << ' ' << pick(WORDS);
        } else {
            text << pick(COMMANDS);
            for (int k = static_cast<int>(random() % 10); k > 0; --k)
                text << (random() % 4 ? " " : "  ") << pick(WORDS);
        }
        text << (random() % 8 ? "\n" : " \t\r\n");
        if (i % 1000 == 999) text << std::string(45000 + random() % 1000, static_cast<char>('a' + random() % 26)) << '\n';
    }
    // A search started by the garbage reports before "stop" returns, so "readyok" comes last.
    text << "stop\nisready\n";
    return text.str();
}

TEST_F(EngineProcess, SurvivesThousandsOfGarbageLinesAndStillAnswers) {
    for (std::uint32_t seed : {1u, 2u}) {
        ASSERT_EQ(run(garbage(seed, 4000)), 0) << "seed " << seed;
        auto out = lines("out");
        ASSERT_FALSE(out.empty()) << "seed " << seed;
        EXPECT_EQ(out.back(), "readyok") << "seed " << seed;
    }
}

TEST_F(EngineProcess, ArgumentsRevealHiddenOptionsAndQuitExitsCleanly) {
    ASSERT_EQ(run("uci\nquit\nisready\n", "\"no such file.pgn\" VersteckteOptionen"), 0);
    EXPECT_EQ(lines("out").size(), 20u);  // the hidden options too, and nothing after quit
}

// A GUI's session: a mate found at depth one (blocking, so that the next command waits for it),
// an infinite search and a ponder search that end with a best move, and no "quit".
TEST_F(EngineProcess, SessionWithMateInfiniteSearchAndPondering) {
    ASSERT_EQ(
        run("uci\nsetoption name OwnBook value false\nsetoption name blocking value true\n"
            "position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\ngo depth 1\nsetoption name blocking value false\n"
            "position startpos moves e2e4\ngo infinite\nisready\nstop\n"
            "go ponder wtime 3000 btime 3000\nponderhit\n",
            "VersteckteOptionen"),
        0);
    std::vector<std::string> answers;
    bool mate = false;
    for (const std::string& line : lines("out")) {
        mate |= line.find("score mate 1") != std::string::npos;
        if (line.rfind("bestmove", 0) == 0 || line == "readyok") answers.push_back(line.substr(0, 13));
    }
    EXPECT_TRUE(mate);
    ASSERT_EQ(answers.size(), 4u);
    EXPECT_EQ(answers[0], "bestmove d1d8");
    EXPECT_EQ(answers[1], "readyok");  // answered while searching
    EXPECT_EQ(answers[2].substr(0, 9), "bestmove ");
    EXPECT_EQ(answers[3].substr(0, 9), "bestmove ");
}

}  // namespace
}  // namespace zelmora::test
