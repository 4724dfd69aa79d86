// Pondering in the match runner, against a scripted fake engine: ponderhit and its clock, misses
// and the stop answer, protocol breaks while pondering, and the statistics.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>

#include "match/match.h"

namespace zelmora::match {
namespace {

// Each "go" takes the next arguments: "sleep:S" (then the next one), "crash", or the answer MOVE
// or MOVE/PONDER. Each "go ponder" takes one: "ponder" waits for ponderhit (which then answers like
// a go) or stop; "slowstop:S" and "deaf" answer stop late or never; "early:MOVE" answers at once,
// "die" exits.
const char PONDER_ENGINE[] = R"(#!/bin/sh
answer() {
  case "$1" in
    */*) echo "info depth 2 score cp 7 pv ${1%/*} ${1#*/}"; echo "bestmove ${1%/*} ponder ${1#*/}";;
    *) echo "bestmove $1";;
  esac
}
pondering=; mode=; search=
while IFS= read -r line; do
  case "$line" in
    uci) echo "id name PonderFake"; echo "option name Ponder type check default false"; echo uciok;;
    isready) echo readyok;;
    "go ponder"*)
      mode=$1; shift
      case "$mode" in
        early:*) answer "${mode#early:}";;
        die) exit 4;;
        *) pondering=1;;
      esac;;
    ponderhit) [ -n "$pondering" ] && { pondering=; search=1; };;
    stop)
      if [ -n "$pondering" ]; then
        pondering=
        case "$mode" in
          deaf) exec sleep 60;;
          slowstop:*) sleep "${mode#slowstop:}";;
        esac
        echo "bestmove 0000"
      fi;;
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
        *) answer "$next"; break;;
      esac
    done
  fi
done
)";

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::size_t find(const std::string& log, const std::string& text, std::size_t from = 0) { return log.find(text, from); }

int count(const std::string& log, const std::string& text) {
    int n = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
}

class MatchPonderTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zelmora-ponder-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        std::ofstream(dir_ + "/ponder.sh") << PONDER_ENGINE;
        settings_.timeControl = *TimeControl::parse("10+0.1");
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    EngineConfig fake(const std::string& script, bool ponder) const {
        EngineConfig config{"sh " + dir_ + "/ponder.sh " + script, "", {}};
        config.ponder = ponder;
        return config;
    }

    // One game; the exchange with the engines ends up in log_.
    Game play(const std::string& white, const std::string& black, bool whitePonders, bool blackPonders,
              const Opening& opening = {}) {
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
        log_ = readFile(dir_ + "/game.log");
        return game;
    }

    std::string dir_;
    GameSettings settings_;
    EngineStats stats_[2];
    std::string log_;
};

TEST_F(MatchPonderTest, HitChargesOnlyTheTimeAfterPonderhit) {
    // White ponders on 1... e5 while Black thinks for 0.4 s; 2. g4 offers the mate 2... Qh4#,
    // which is not pondered on.
    const Game game = play("f2f3/e7e5 ponder sleep:0.1 g2g4/d8h4", "sleep:0.4 e7e5 d8h4", true, false);
    ASSERT_EQ(game.ending(), Ending::CHECKMATE) << game.reason() << "\n" << log_;
    EXPECT_EQ(stats_[0].ponderHits, 1);
    EXPECT_EQ(stats_[0].ponderMisses, 0);
    ASSERT_EQ(game.moves().size(), 4u);
    EXPECT_GE(game.moves()[2].elapsedUs, 100000);
    EXPECT_LT(game.moves()[2].elapsedUs, 350000);  // Black's 0.4 s are not White's
    EXPECT_EQ(stats_[0].worstPonderhitUs, game.moves()[2].elapsedUs);

    // The option before isready, for the pondering engine only.
    const std::size_t option = find(log_, "w < setoption name Ponder value true");
    ASSERT_NE(option, std::string::npos) << log_;
    EXPECT_LT(option, find(log_, "w < isready"));
    EXPECT_EQ(find(log_, "b < setoption name Ponder"), std::string::npos);
    // The ponder search starts after Black was asked to move and runs while Black thinks, with
    // the clocks as they stand: White's charged, Black's untouched.
    const std::size_t blackGo = find(log_, "b < go wtime");
    const std::size_t ponder = find(log_, "w < position startpos moves f2f3 e7e5\n");
    ASSERT_NE(ponder, std::string::npos) << log_;
    EXPECT_LT(blackGo, ponder);
    EXPECT_LT(ponder, find(log_, "b > bestmove e7e5"));
    EXPECT_TRUE(std::regex_search(log_, std::regex("w < go ponder wtime 10[01]\\d\\d btime 10000 winc 100 binc 100\n")))
        << log_;
    EXPECT_LT(find(log_, "b > bestmove e7e5"), find(log_, "w < ponderhit"));
    EXPECT_EQ(count(log_, "go ponder"), 1) << "pondered on a mate";
}

TEST_F(MatchPonderTest, MissStopsDiscardsAndSearchesAfresh) {
    settings_.graceUs = 1000000;
    const Game game = play("f2f3/e7e5 slowstop:0.2 g2g4", "e7e6 d8h4", true, false);
    ASSERT_EQ(game.ending(), Ending::CHECKMATE) << game.reason() << "\n" << log_;
    EXPECT_EQ(stats_[0].ponderHits, 0);
    EXPECT_EQ(stats_[0].ponderMisses, 1);
    EXPECT_GE(stats_[0].worstStopUs, 200000);
    EXPECT_LT(stats_[0].worstStopUs, 1000000);
    EXPECT_EQ(stats_[0].illegalMoves, 0);  // the discarded "bestmove 0000"
    const std::size_t stop = find(log_, "w < stop");
    ASSERT_NE(stop, std::string::npos) << log_;
    EXPECT_LT(stop, find(log_, "w < position startpos moves f2f3 e7e6\n", stop)) << log_;

    // An illegal reply is not pondered on.
    const Game plain = play("f2f3/e2e4 g2g4", "e7e5 d8h4", true, false);
    EXPECT_EQ(plain.ending(), Ending::CHECKMATE) << plain.reason();
    EXPECT_EQ(stats_[0].ponderHits + stats_[0].ponderMisses, 0);
    EXPECT_EQ(count(log_, "go ponder"), 0) << log_;
}

TEST_F(MatchPonderTest, FaultsWhilePonderingLose) {
    // bestmove before ponderhit or stop, seen while Black thinks: Black is stopped.
    Game game = play("f2f3/e7e5 early:g2g4", "sleep:0.3 e7e5", true, false);
    EXPECT_EQ(game.ending(), Ending::ILLEGAL_MOVE) << log_;
    EXPECT_EQ(game.result(), -1);
    EXPECT_NE(game.reason().find("'bestmove g2g4' before ponderhit or stop"), std::string::npos) << game.reason();
    EXPECT_EQ(stats_[0].illegalMoves, 1);
    EXPECT_FALSE(game.needsRestart(WHITE));
    EXPECT_FALSE(game.needsRestart(BLACK));
    EXPECT_NE(find(log_, "b < stop"), std::string::npos) << log_;
    EXPECT_GE(stats_[1].worstStopUs, 0);

    settings_.graceUs = 300000;
    const auto start = std::chrono::steady_clock::now();
    game = play("f2f3/e7e5 deaf", "e7e6", true, false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(game.ending(), Ending::HANG) << game.reason();
    EXPECT_NE(game.reason().find("did not answer stop"), std::string::npos) << game.reason();
    EXPECT_TRUE(game.needsRestart(WHITE));
    EXPECT_EQ(stats_[0].hangs, 1);

    game = play("f2f3/e7e5 die", "sleep:0.3 e7e5", true, false);
    EXPECT_EQ(game.ending(), Ending::CRASH) << game.reason();
    EXPECT_NE(game.reason().find("died while pondering: exit code 4"), std::string::npos) << game.reason();
    EXPECT_TRUE(game.needsRestart(WHITE));
    EXPECT_EQ(stats_[0].crashes, 1);
}

}  // namespace
}  // namespace zelmora::match
