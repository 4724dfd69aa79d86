// Games against a scripted fake engine: how games end, what counts against an engine, restarts,
// openings, pondering and the PGN text.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>

#include "match/match.h"
#include "match/pgn_writer.h"

namespace zelmora::match {
namespace {

// A UCI engine in sh. Each "go" takes the next arguments: "sleep:S" (then the next one), "crash"
// (exit 3), "hang" (silence), "junk" (garbage lines first), or the answer MOVE or MOVE/PONDER.
// Each "go ponder" takes one, "ponder": it waits for ponderhit (which then answers like a go) or stop.
const char FAKE_ENGINE[] = R"(#!/bin/sh
answer() {
  case "$1" in
    */*) echo "info depth 3 score cp 12 pv ${1%/*} ${1#*/}"; echo "bestmove ${1%/*} ponder ${1#*/}";;
    *) echo "info depth 3 score cp 12 pv $1"; echo "bestmove $1";;
  esac
}
pondering=; search=
while IFS= read -r line; do
  case "$line" in
    uci) echo "id name Fake"; echo "option name Hash type spin default 1 min 1 max 8"
         echo "option name Ponder type check default false"; echo uciok;;
    isready) echo readyok;;
    "go ponder"*) shift; pondering=1;;
    ponderhit) [ -n "$pondering" ] && { pondering=; search=1; };;
    stop) [ -n "$pondering" ] && { pondering=; echo "bestmove 0000"; };;
    go*) search=1;;
    quit) exit 0;;
  esac
  if [ -n "$search" ]; then
    search=
    while :; do
      next=$1; shift
      case "$next" in
        sleep:*) sleep "${next#sleep:}";;
        crash) exit 3;;
        hang) exec sleep 60;;
        junk) printf 'garbage \001\002\nbestmovex a1a1\ninfo score cp\n';;
        *) answer "$next"; break;;
      esac
    done
  fi
done
)";

std::size_t count(const std::string& log, const std::string& text) {
    std::size_t n = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
}

void expectContains(const std::string& text, std::initializer_list<std::string> parts) {
    for (const std::string& part : parts) EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
}

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

    EngineConfig fake(const std::string& script, bool ponder = false) const {
        EngineConfig config{"sh " + dir_ + "/fake.sh " + script, "", {}};
        config.ponder = ponder;
        return config;
    }

    // One game; the exchange with the engines ends up in log_.
    Game play(const std::string& white, const std::string& black, const Opening& opening = {},
              bool whitePonders = false, bool blackPonders = false) {
        ExchangeLog log;
        EXPECT_TRUE(log.open(dir_ + "/game.log"));
        Game game(settings_, opening);
        {
            UciEngine w(fake(white, whitePonders), &log, "w"), b(fake(black, blackPonders), &log, "b");
            std::string error;
            EXPECT_TRUE(w.start(2000, false, error)) << error;
            EXPECT_TRUE(b.start(2000, false, error)) << error;
            stats_[0] = stats_[1] = EngineStats();
            game.play(w, b, stats_[0], stats_[1]);
            w.quit();
            b.quit();
        }
        std::ifstream in(dir_ + "/game.log");
        log_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return game;
    }
    void expectEnding(const Game& game, int result, Ending ending) const {
        EXPECT_EQ(game.result(), result) << game.reason() << "\n" << log_;
        EXPECT_EQ(game.ending(), ending) << game.reason() << "\n" << log_;
    }

    std::string dir_, log_;
    GameSettings settings_;
    EngineStats stats_[2];
};

TEST_F(MatchGameTest, MateWithBookMovesAndPgn) {
    Opening opening;
    opening.moves = {"f2f3"};
    const Game game = play("g2g4", "junk e7e5 d8h4", opening);
    expectEnding(game, -1, Ending::CHECKMATE);
    ASSERT_EQ(game.moves().size(), 4u);
    EXPECT_TRUE(game.moves()[0].book);
    EXPECT_EQ(game.moves()[3].info.score, 12);
    EXPECT_EQ(stats_[1].moves, 2);
    PgnTags tags;
    tags.white = "W \"quoted\"";
    tags.timeControl = "10+0.1";
    const std::string pgn = pgnText(tags, game);
    expectContains(pgn, {"[White \"W \\\"quoted\\\"\"]", "[Result \"0-1\"]", "[PlyCount \"4\"]",
                         "1. f3 {book} 1... e5 {+0.12/3 ", "2... Qh4#", "{Black mates} 0-1\n"});
    EXPECT_EQ(pgn.find("[FEN"), std::string::npos);
}

TEST_F(MatchGameTest, IllegalAnswersLose) {
    // Not a move, a move of the wrong side, SAN instead of coordinates, the null move, nothing.
    for (const char* answer : {"e2e5", "e7e5", "Nf3", "0000", "e2e4q", "\"\""}) {
        const Game game = play(answer, "e7e5");
        expectEnding(game, -1, Ending::ILLEGAL_MOVE);
        EXPECT_FALSE(game.needsRestart(WHITE)) << answer;
        EXPECT_EQ(stats_[0].illegalMoves, 1) << answer;
    }
}

TEST_F(MatchGameTest, CrashHangAndTimeLoss) {
    Game game = play("e2e4 crash", "e7e5");
    expectEnding(game, -1, Ending::CRASH);
    EXPECT_TRUE(game.needsRestart(WHITE));
    EXPECT_NE(game.reason().find("exit code 3"), std::string::npos) << game.reason();

    settings_.timeControl = *TimeControl::parse("0.2");
    settings_.graceUs = 300000;
    const auto start = std::chrono::steady_clock::now();
    game = play("e2e4", "hang");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    expectEnding(game, 1, Ending::HANG);
    EXPECT_TRUE(game.needsRestart(BLACK));

    // Late but within the grace: a loss on time, the engine itself is fine.
    settings_.graceUs = 5000000;
    settings_.marginUs = 50000;
    game = play("sleep:0.6 e2e4", "e7e5");
    expectEnding(game, -1, Ending::TIME_FORFEIT);
    EXPECT_FALSE(game.needsRestart(WHITE));
    EXPECT_GE(stats_[0].worstOvershootUs, 350000);
    // The opponent has a bare king and cannot win on time.
    Opening bare;
    bare.fen = "4k3/8/8/8/8/8/8/4K2R w - - 0 1";
    expectEnding(play("sleep:0.6 h1h2", "e8d8", bare), 0, Ending::TIME_FORFEIT);
}

TEST_F(MatchGameTest, PonderhitChargesOnlyTheTimeAfterIt) {
    // White ponders on 1... e5 while Black thinks for 0.4 s; 2. g4 offers the mate 2... Qh4#,
    // which is not pondered on.
    const Game game = play("f2f3/e7e5 ponder sleep:0.1 g2g4/d8h4", "sleep:0.4 e7e5 d8h4", {}, true);
    expectEnding(game, -1, Ending::CHECKMATE);
    EXPECT_EQ(stats_[0].ponderHits, 1);
    ASSERT_EQ(game.moves().size(), 4u);
    EXPECT_GE(game.moves()[2].elapsedUs, 100000);
    EXPECT_LT(game.moves()[2].elapsedUs, 350000);  // Black's 0.4 s are not White's
    // The option goes before isready, to the pondering engine only; the ponder search starts
    // once Black was asked to move, with White's clock charged.
    EXPECT_LT(log_.find("w < setoption name Ponder value true"), log_.find("w < isready")) << log_;
    EXPECT_EQ(log_.find("b < setoption name Ponder"), std::string::npos);
    EXPECT_LT(log_.find("b < go wtime"), log_.find("w < position startpos moves f2f3 e7e5\n"));
    EXPECT_TRUE(
        std::regex_search(log_, std::regex("w < go ponder wtime 10[01]\\d\\d btime 10000 winc 100 binc 100\n")));
    EXPECT_LT(log_.find("b > bestmove e7e5"), log_.find("w < ponderhit"));
    EXPECT_EQ(count(log_, "go ponder"), 1u) << "pondered on a mate";
}

}  // namespace
}  // namespace zelmora::match
