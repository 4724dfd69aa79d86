#pragma once
// The UCI wording of the output channel.

#include "board/position.h"
#include "control/engine_output.h"

namespace zelmora {

class Engine;
class LineBuffer;
class SearchLimits;

class UciOutput : public EngineOutput {
public:
    // The clock tells the time of the reports.
    explicit UciOutput(const SearchLimits* clock, std::FILE* stream = stdout);

    void pvLine(const Engine& engine, int score, int alpha, int beta) override;
    void currMove(const Engine& engine, Move move, int number) override;
    void multiPvLine(const Engine& engine, int lineNumber, const PrincipalVariation& pv, int score, int alpha,
                     int beta) override;
    void debugMessage(const char* text, const char* detail = nullptr) override;
    void infoString(const char* text, const char* detail = nullptr) override;
    void bestMove(const Engine& engine, const Move* best, const Move* ponder) override;
    void searchFinished(const Engine& engine) override;
    void setRootPosition(const Position& root) override;

protected:
    // Milliseconds since the search clock started.
    double elapsedTime() const;
    // The main thread's count scaled by the thread count: the threads search about equally fast.
    static double scaledNodes(const Engine& engine);
    // Appends " move" for each move, each written in the position it is played in.
    void appendMoves(LineBuffer& line, const Move* moves, int count) const;
    // The position the current search started from; moves of its reports are written against it.
    const Position& rootPosition() const { return root_; }

    const SearchLimits* clock_;

private:
    Position root_;
};

// Prints nothing but one timing line per finished search, for timing batches of searches.
class UciTimeLogOutput : public UciOutput {
public:
    using UciOutput::UciOutput;

    void searchFinished(const Engine& engine) override;
    void printLine(const char* text) override;

private:
    std::atomic<bool> logging_{false};
    double totalTime_ = 0.0;
    double timeProduct_ = 1.0;
    int searchCount_ = 0;
};

}  // namespace zelmora
