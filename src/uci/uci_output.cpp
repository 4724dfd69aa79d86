#include "uci/uci_output.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "board/notation.h"
#include "search/engine.h"
#include "search/search_limits.h"
#include "uci/score_text.h"
#include "util/text.h"

namespace zelmora {

namespace {

// PV lines are held back in the first half second unless the search is already deep enough to
// be worth reading, so that fast early iterations do not flood the interface.
constexpr double QUIET_START_MS = 500.0;

void appendScore(LineBuffer& line, int score, int alpha, int beta) {
    char text[64];
    formatScore(text, sizeof text, score, alpha, beta);
    line.append(text);
}

}  // namespace

UciOutput::UciOutput(const SearchLimits* clock, std::FILE* stream) : EngineOutput(stream), clock_(clock) {}

double UciOutput::elapsedTime() const { return clock_ != nullptr ? static_cast<double>(clock_->elapsed()) : 0.0; }

double UciOutput::scaledNodes(const Engine& engine) {
    return static_cast<double>(engine.nodes) * engine.settings().threadCount;
}

void UciOutput::appendMoves(LineBuffer& line, const Move* moves, int count) const {
    Position pos = root_;
    char text[16];
    for (int i = 0; i < count; ++i) {
        line.append(" ");
        line.append(moveToText(pos, moves[i], MoveStyle::COORDINATE, text));
        UndoRecord undo;
        if (i + 1 < count && !pos.makeLegal(moves[i], undo)) break;
    }
}

void UciOutput::pvLine(const Engine& engine, int score, int alpha, int beta) {
    double time = elapsedTime();
    double nodes = scaledNodes(engine);
    bool worthPrinting = isDebug() || engine.firstIteration ||
                         (time >= QUIET_START_MS && nodes >= (engine.iterationDepth + 3) * 50.0);
    if (!worthPrinting) return;
    int selective = std::max(engine.iterationDepth, engine.selectiveDepth);
    LineBuffer line;
    line.appendf("info depth %d seldepth %d time %16.0f nodes %16.0f pv", engine.iterationDepth + 1, selective + 1,
                 time, nodes);
    appendMoves(line, engine.pv.moves, std::min(engine.pv.length, MAX_PV));
    appendScore(line, score, alpha, beta);
    line.appendf(" hashfull %d nps %16.0f", engine.hashFull(), nodes / std::max(time, 1.0) * 1000.0);
    line.squeeze();
    printLine(line.text());
}

void UciOutput::currMove(const Engine&, Move move, int number) {
    if (!isDebug() && elapsedTime() < QUIET_START_MS) return;
    char text[16];
    LineBuffer line;
    line.appendf("info currmove %s currmovenumber %d", moveToText(root_, move, MoveStyle::COORDINATE, text), number);
    printLine(line.text());
}

void UciOutput::multiPvLine(const Engine& engine, int lineNumber, const PrincipalVariation& pv, int score,
                            int alpha, int beta) {
    LineBuffer line;
    line.appendf("info multipv %d depth %d seldepth %d ", lineNumber, engine.iterationDepth + 1,
                 engine.selectiveDepth + 1);
    appendScore(line, score, alpha, beta);
    line.append(" pv");
    appendMoves(line, pv.moves, std::min(pv.length, MAX_PV));
    line.squeeze();
    printLine(line.text());
}

void UciOutput::debugMessage(const char* text, const char* detail) {
    if (isDebug()) infoString(text, detail);
}

void UciOutput::infoString(const char* text, const char* detail) {
    // Not a LineBuffer: the detail may be a whole 40,000-character command line.
    std::string line = "info string ";
    line += text;
    if (detail != nullptr) {
        line += ' ';
        line += detail;
    }
    printLine(line.c_str());
}

void UciOutput::bestMove(const Engine&, const Move* best, const Move* ponder) {
    if (best == nullptr) {
        debugMessage("Kein Zug berechnet");
        return;
    }
    char bestText[16], ponderText[16];
    moveToText(root_, *best, MoveStyle::COORDINATE, bestText);
    LineBuffer line;
    Position afterBest = root_;
    UndoRecord undo;
    if (ponder != nullptr && afterBest.makeLegal(*best, undo)) {
        line.appendf("bestmove %s ponder %s", bestText,
                     moveToText(afterBest, *ponder, MoveStyle::COORDINATE, ponderText));
    } else {
        line.appendf("bestmove %s", bestText);
    }
    printLine(line.text());
}

void UciOutput::searchFinished(const Engine& engine) {
    double time = elapsedTime();
    double nodes = scaledNodes(engine);
    int selective = std::max(engine.iterationDepth, engine.selectiveDepth);
    LineBuffer line;
    line.appendf("info depth %d seldepth %d time %16.0f nodes %16.0f hashfull %d nps %16.0f ", engine.iterationDepth,
                 selective + 1, time, nodes, engine.hashFull(), nodes / std::max(time, 1.0) * 1000.0);
    appendScore(line, engine.lastScore, engine.lastAlpha, engine.lastBeta);
    line.squeeze();
    printLine(line.text());
}

void UciOutput::setRootPosition(const Position& root) { root_ = root; }

void UciTimeLogOutput::searchFinished(const Engine&) {
    ++searchCount_;
    double seconds = elapsedTime() * 0.001;
    totalTime_ += seconds;
    timeProduct_ *= seconds;
    double geometricMean = std::pow(timeProduct_, 1.0 / searchCount_);
    char text[96];
    std::snprintf(text, sizeof text, "%4d %12.8f %16.10f %12.8f", searchCount_, seconds, totalTime_, geometricMean);
    logging_ = true;
    writeLine(text);
    logging_ = false;
}

void UciTimeLogOutput::printLine(const char* text) {
    if (logging_) writeLine(text);
}

}  // namespace zelmora
