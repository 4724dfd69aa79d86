#pragma once
// The UCI wording of the output channel.

#include "board/position.h"
#include "uci/engine_output.h"

namespace zelmora {

class Engine;
class LineBuffer;
class TimeLimits;

class UciOutput : public EngineOutput {
public:
    UciOutput(Engine* engine, TimeLimits* clock, std::FILE* stream = stdout);

    void pvLine(const Engine& engine, int score, int alpha, int beta) override;
    void currMove(Move move, int number) override;
    void multiPvLine(const Engine& engine, int lineNumber, const PrincipalVariation& pv, int score, int alpha,
                     int beta) override;
    void debugMessage(const char* text, const char* detail = nullptr) override;
    void infoString(const char* text, const char* detail = nullptr) override;
    void bestMove(const Move* best, const Move* ponder) override;
    void searchFinished() override;
    void setRootPosition() override;

protected:
    // Milliseconds since the search clock started.
    double elapsedTime() const;
    // The main thread's count scaled by the thread count: the threads search about equally fast.
    static double scaledNodes(const Engine& engine);
    // Appends " move" for each move, each written in the position it is played in.
    void appendMoves(LineBuffer& line, const Move* moves, int count) const;
    // The position the current search started from; moves of its reports are written against it.
    const Position& rootPosition() const { return root_; }

    Engine* engine_;
    TimeLimits* clock_;

private:
    Position root_;
};

// Prints nothing but one timing line per finished search, for timing batches of searches.
class UciTimeLogOutput : public UciOutput {
public:
    using UciOutput::UciOutput;

    void searchFinished() override;
    void printLine(const char* text) override;

private:
    std::atomic<bool> logging_{false};
    double totalTime_ = 0.0;
    double timeProduct_ = 1.0;
    int searchCount_ = 0;
};

}  // namespace zelmora
