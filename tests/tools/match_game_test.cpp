// Games against scripted fake engines: how games end, what counts against an engine, restarts,
// openings and the PGN text.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "match/match.h"
#include "match/pgn_writer.h"

namespace zelmora::match {
namespace {

// A UCI engine in sh that answers each "go" with its next argument: a move, or "crash" (exit 3),
// "hang" (silence), "sleep:SECONDS" (then the next argument), "junk" (garbage lines first).
const char FAKE_ENGINE[] = R"(#!/bin/sh
while IFS= read -r line; do
  case "$line" in
    uci) echo "id name Fake"; echo "option name Hash type spin default 1 min 1 max 8"; echo uciok;;
    isready) echo readyok;;
    go*)
      while :; do
        next=$1; shift
        case "$next" in
          crash) exit 3;;
          hang) exec sleep 60;;
          sleep:*) sleep "${next#sleep:}";;
          junk) printf 'garbage \001\002\nbestmovex a1a1\ninfo score cp\n';;
          *) echo "info depth 3 score cp 12 pv $next"; echo "bestmove $next"; break;;
        esac
      done;;
    quit) exit 0;;
  esac
done
)";

class MatchGameTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zelmora-match-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        std::ofstream(dir_ + "/fake.sh") << FAKE_ENGINE;
        settings_.timeControl = *TimeControl::parse("10+0.1");
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    EngineConfig fake(const std::string& script) const { return {"sh " + dir_ + "/fake.sh " + script, "", {}}; }

    // Plays one game between two fake engines with the given scripts.
    Game play(const std::string& white, const std::string& black, const Opening& opening = {}) {
        UciEngine w(fake(white), nullptr, "w"), b(fake(black), nullptr, "b");
        std::string error;
        EXPECT_TRUE(w.start(2000, false, error)) << error;
        EXPECT_TRUE(b.start(2000, false, error)) << error;
        stats_[0] = stats_[1] = EngineStats();
        Game game(settings_, opening);
        game.play(w, b, stats_[0], stats_[1]);
        return game;
    }

    std::string dir_;
    GameSettings settings_;
    EngineStats stats_[2];
};

void expectEnding(const Game& game, int result, Ending ending) {
    EXPECT_EQ(game.result(), result) << game.reason();
    EXPECT_EQ(game.ending(), ending) << game.reason();
}

void expectContains(const std::string& text, std::initializer_list<std::string> parts) {
    for (const std::string& part : parts) EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
}

TEST_F(MatchGameTest, MateWithBookMovesAndPgn) {
    Opening opening;
    opening.moves = {"f2f3"};
    const Game game = play("g2g4", "junk e7e5 d8h4", opening);
    expectEnding(game, -1, Ending::CHECKMATE);
    ASSERT_EQ(game.moves().size(), 4u);
    EXPECT_TRUE(game.moves()[0].book);
    EXPECT_EQ(game.moves()[3].san, "Qh4#");
    EXPECT_EQ(game.moves()[3].info.score, 12);
    EXPECT_EQ(stats_[1].moves, 2);
    EXPECT_LE(stats_[1].worstOvershootUs, 0);

    PgnTags tags;
    tags.white = "W \"quoted\"";
    tags.black = "B";
    tags.timeControl = "10+0.1";
    const std::string pgn = pgnText(tags, game);
    expectContains(pgn, {"[White \"W \\\"quoted\\\"\"]", "[Result \"0-1\"]", "[PlyCount \"4\"]",
                         "1. f3 {book} 1... e5 {+0.12/3 ", "2... Qh4#", "{Black mates} 0-1\n"});
    EXPECT_EQ(pgn.find("[FEN"), std::string::npos);
}

TEST_F(MatchGameTest, RepetitionFromAFenWithBlackToMove) {
    Opening opening;
    opening.fen = "4k3/8/8/8/8/8/8/4K2R b - - 3 30";
    const Game game = play("e1f1 f1e1 e1f1 f1e1", "e8d8 d8e8 e8d8 d8e8", opening);
    expectEnding(game, 0, Ending::REPETITION);
    EXPECT_EQ(game.moves().size(), 8u);
    EXPECT_FALSE(game.whiteStarts());
    EXPECT_EQ(game.startMoveNumber(), 30);
    expectContains(pgnText(PgnTags(), game), {"[FEN \"4k3/8/8/8/8/8/8/4K2R b - - 3 30\"]", "30... Kd8", "31. Kf1"});
}

TEST_F(MatchGameTest, IllegalAnswersLose) {
    // Not a move, a move of the wrong side, SAN instead of coordinates, the null move, nothing.
    for (const char* answer : {"e2e5", "e7e5", "Nf3", "0000", "e2e4q", "\"\""}) {
        const Game game = play(answer, "e7e5");
        SCOPED_TRACE(answer);
        expectEnding(game, -1, Ending::ILLEGAL_MOVE);
        EXPECT_FALSE(game.needsRestart(WHITE));
        EXPECT_EQ(stats_[0].illegalMoves, 1);
    }
}

TEST_F(MatchGameTest, CrashHangAndTimeLoss) {
    Game game = play("e2e4 crash", "e7e5");
    expectEnding(game, -1, Ending::CRASH);
    EXPECT_TRUE(game.needsRestart(WHITE));
    EXPECT_NE(game.reason().find("exit code 3"), std::string::npos) << game.reason();
    EXPECT_EQ(stats_[0].crashes, 1);

    settings_.timeControl = *TimeControl::parse("0.2");
    settings_.graceUs = 300000;
    const auto start = std::chrono::steady_clock::now();
    game = play("e2e4", "hang");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    expectEnding(game, 1, Ending::HANG);
    EXPECT_TRUE(game.needsRestart(BLACK));
    EXPECT_EQ(stats_[1].hangs, 1);

    // Late but within the grace: a loss on time, the engine itself is fine.
    settings_.graceUs = 5000000;
    settings_.marginUs = 50000;
    game = play("sleep:0.6 e2e4", "e7e5");
    expectEnding(game, -1, Ending::TIME_FORFEIT);
    EXPECT_FALSE(game.needsRestart(WHITE));
    EXPECT_EQ(stats_[0].timeLosses, 1);
    EXPECT_GE(stats_[0].worstOvershootUs, 350000);

    // The opponent has a bare king and cannot win on time.
    Opening bare;
    bare.fen = "4k3/8/8/8/8/8/8/4K2R w - - 0 1";
    game = play("sleep:0.6 h1h2", "e8d8", bare);
    expectEnding(game, 0, Ending::TIME_FORFEIT);
}

TEST_F(MatchGameTest, MatchRestartsACrashedEngine) {
    MatchSettings settings;
    settings.engines[0] = fake("e2e4 crash");
    settings.engines[1] = fake("e7e5 e2e4");
    settings.engines[1].name = "Other";
    settings.engines[1].options = {{"Hash", "4"}, {"NoSuchOption", "1"}};
    settings.game = settings_;
    settings.games = 2;
    settings.pgnPath = dir_ + "/out.pgn";
    std::FILE* out = std::tmpfile();
    Match match(settings, out);
    EXPECT_EQ(match.run(), 0);
    EXPECT_EQ(match.gamesPlayed(), 2);
    // Game 1: engine 1 crashes on its second move. Game 2: the restarted engine 1 has Black and
    // answers with its script's first move again, which is illegal for Black.
    EXPECT_EQ(match.stats(0).crashes, 1);
    EXPECT_EQ(match.stats(0).illegalMoves, 1);
    EXPECT_EQ(match.stats(0).losses, 2);
    EXPECT_EQ(match.stats(1).wins, 2);
    std::rewind(out);
    char buffer[4096] = {};
    std::fread(buffer, 1, sizeof buffer - 1, out);
    std::fclose(out);
    expectContains(buffer, {"option 'NoSuchOption' was not announced", "restarting Fake"});
    std::ifstream pgn(settings.pgnPath);
    expectContains(std::string(std::istreambuf_iterator<char>(pgn), std::istreambuf_iterator<char>()),
                   {"[Round \"2\"]\n[White \"Other\"]\n[Black \"Fake\"]\n[Result \"1-0\"]"});
}

TEST_F(MatchGameTest, OpeningFiles) {
    const std::string path = dir_ + "/openings.txt";
    std::ofstream(path) << "# comment\n\n"
                           "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 bm e5; id \"x\";\n"
                           "1. e4 e5 2. Nf3 Nc6 *\n"
                           "d2d4 d7d5\r\n";
    std::vector<Opening> openings;
    std::string error;
    ASSERT_TRUE(loadOpenings(path, openings, error)) << error;
    ASSERT_EQ(openings.size(), 3u);
    EXPECT_EQ(openings[0].fen, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    EXPECT_EQ(openings[1].moves, (std::vector<std::string>{"e4", "e5", "Nf3", "Nc6"}));
    EXPECT_EQ(openings[2].moves, (std::vector<std::string>{"d2d4", "d7d5"}));

    std::ofstream(path) << "e2e4 e7e5\ne2e4 e2e4\n";
    openings.clear();
    EXPECT_FALSE(loadOpenings(path, openings, error));
    EXPECT_NE(error.find(":2: illegal or ambiguous book move 'e2e4'"), std::string::npos) << error;

    openings.clear();
    ASSERT_TRUE(chess960Openings("0-2,518", openings, error));
    ASSERT_EQ(openings.size(), 4u);
    EXPECT_EQ(openings[3].chess960, 518);
    for (const char* bad : {"960", "5-3", "x", "1,,2"}) EXPECT_FALSE(chess960Openings(bad, openings, error)) << bad;
}

}  // namespace
}  // namespace zelmora::match
