#pragma once
// A match of N games between two engines with alternating colours: engine start-up and restarts,
// the PGN file, the running score and the final summary.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "match/game.h"

namespace zelmora::match {

struct MatchSettings {
    EngineConfig engines[2];
    GameSettings game;
    std::vector<Opening> openings;  // empty: the classical start; each opening is played with both colours
    int games = 2;
    int handshakeTimeoutMs = 10000;
    std::string pgnPath;    // empty: no PGN file
    std::string logPath;    // empty: no exchange log
    std::string errorPath;  // the engines' standard error; empty: discarded
    std::string event = "Zelmora match";
};

class Match {
public:
    Match(MatchSettings settings, std::FILE* out);
    ~Match();

    // Plays the match; 0 when every game was played, 1 when an engine could not be (re)started.
    int run();
    const EngineStats& stats(int engine) const { return stats_[engine]; }
    int gamesPlayed() const { return gamesPlayed_; }

private:
    bool startEngine(int i);
    void printSummary();
    void printPonderSummary();

    MatchSettings settings_;
    std::FILE* out_;
    ExchangeLog log_;
    std::unique_ptr<UciEngine> engines_[2];
    EngineStats stats_[2];
    std::string names_[2];
    int gamesPlayed_ = 0;
};

}  // namespace zelmora::match
