#pragma once
// The xboard wording of the output channel: thinking lines, "move" answers, "Error (...)" lines.
// The engine's move itself is handed to the protocol, which owns the game.

#include <atomic>
#include <cstdint>

#include "uci/uci_output.h"
#include "util/platform.h"

namespace zelmora {

class XboardProtocol;

class XboardOutput : public UciOutput {
public:
    using UciOutput::UciOutput;

    void setProtocol(XboardProtocol* protocol) { protocol_ = protocol; }

    void pvLine(const Engine& engine, int score, int alpha, int beta) override;
    void currMove(const Engine& engine, Move move, int number) override;
    void multiPvLine(const Engine&, int, const PrincipalVariation&, int, int, int) override {}
    void debugMessage(const char* text, const char* detail = nullptr) override;
    void infoString(const char* text, const char* detail = nullptr) override;
    void bestMove(const Engine& engine, const Move* best, const Move* ponder) override;
    void searchFinished(const Engine&) override {}

    // The adapter's own answers. The engine is switched off for a moment around every silent
    // stop, and those moments must not swallow what the adapter says meanwhile; after "quit"
    // nothing is written.
    void answer(const char* text) { writeLine(text, !quitting_); }
    // An "Error (...)" line as an answer.
    void answerError(const char* text, const char* detail = nullptr);
    void setQuitting() { quitting_ = true; }

    void setPost(bool on) { post_ = on; }
    // Analysis starts: the hint and the "stat01" figures begin afresh.
    void startAnalysis(std::int64_t startTime);
    void stopAnalysis() { analyzing_ = false; }
    bool analyzing() const { return analyzing_; }
    // The move a ponder search assumes, shown in its thinking lines; "" for none.
    void setPonderMoveText(const char* text);
    // The first move of the last analysis line, "" when there is none yet.
    void firstPvMove(char* buffer, std::size_t size);
    // The analysis progress line that answers ".".
    void stat01Line(char* buffer, std::size_t size);

    // The thinking line's score: centipawns, or 32767 minus the plies for a mate.
    static int xboardScore(int score);

private:
    XboardProtocol* protocol_ = nullptr;
    std::atomic<bool> post_{true};
    std::atomic<bool> analyzing_{false};
    std::atomic<bool> quitting_{false};

    // Written by the search thread, read by the command thread.
    Lock textLock_;
    char ponderMoveText_[8] = "";
    char firstPvMove_[16] = "";
    std::int64_t analysisStart_ = 0;
    int currentMoveNumber_ = 0;
    char currentMoveText_[16] = "";
    double statNodes_ = 0.0;
    int statDepth_ = 0;
    int statRootMoves_ = 0;
};

}  // namespace zelmora
