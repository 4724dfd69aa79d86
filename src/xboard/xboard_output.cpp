#include "xboard/xboard_output.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "board/notation.h"
#include "search/engine.h"
#include "util/platform.h"
#include "util/text.h"
#include "xboard/xboard_protocol.h"

namespace zelmora {

namespace {

// Mate scores keep their distance in plies below 32767, the protocol's mate marker.
constexpr int MATE_SHIFT = 467233;

void copyText(char* target, std::size_t size, const char* source) {
    std::snprintf(target, size, "%s", source);
}

}  // namespace

int XboardOutput::xboardScore(int score) {
    if (score > 400000) return score - MATE_SHIFT;
    if (score < -400000) return score + MATE_SHIFT;
    if (score > 1) return (score + 9) / 10;
    if (score < -1) return (score - 9) / 10;
    return 0;
}

void XboardOutput::pvLine(const Engine& engine, int score, int alpha, int beta) {
    (void)alpha;
    (void)beta;
    const double nodes = scaledNodes(engine);
    {
        LockGuard guard(textLock_);
        statNodes_ = nodes;
        statDepth_ = engine.iterationDepth + 1;
    }
    if (!post_) return;
    if (!engine.firstIteration && (engine.iterationDepth + 2) * 50.0 > nodes) return;
    LineBuffer line;
    {
        LockGuard guard(textLock_);
        line.appendf("%d %d %.0f %.0f %s", engine.iterationDepth + 1, xboardScore(score), elapsedTime() * 0.1, nodes,
                     ponderMoveText_);
    }
    const int length = std::min(engine.pv.length, MAX_PV);
    appendMoves(line, engine.pv.moves, length);
    if (analyzing_ && length > 0) {
        char text[16];
        moveToText(rootPosition(), engine.pv.moves[0], MoveStyle::COORDINATE, text);
        LockGuard guard(textLock_);
        copyText(firstPvMove_, sizeof firstPvMove_, text);
    }
    printLine(line.text());
}

void XboardOutput::currMove(const Engine& engine, Move move, int number) {
    char text[16];
    moveToText(rootPosition(), move, MoveStyle::COORDINATE, text);
    const double nodes = scaledNodes(engine);
    LockGuard guard(textLock_);
    currentMoveNumber_ = number;
    copyText(currentMoveText_, sizeof currentMoveText_, text);
    statNodes_ = nodes;
    statDepth_ = engine.iterationDepth + 1;
    statRootMoves_ = engine.rootMoveCount;
}

namespace {

// Not a LineBuffer: the detail may be a whole command line.
std::string errorLine(const char* text, const char* detail) {
    std::string line = "Error (";
    line += text;
    line += "): ";
    if (detail != nullptr) line += detail;
    return line;
}

}  // namespace

void XboardOutput::debugMessage(const char* text, const char* detail) { printLine(errorLine(text, detail).c_str()); }

void XboardOutput::answerError(const char* text, const char* detail) { answer(errorLine(text, detail).c_str()); }

void XboardOutput::infoString(const char* text, const char* detail) {
    std::string line = "Info: ";
    line += text;
    if (detail != nullptr) {
        line += ' ';
        line += detail;
    }
    printLine(line.c_str());
}

void XboardOutput::bestMove(const Engine& engine, const Move* best, const Move* ponder) {
    if (analyzing_ || isSilent() || protocol_ == nullptr) return;
    if (best == nullptr) {
        protocol_->engineMoved(nullptr, nullptr, engine.lastScore, false);
        return;
    }
    char bestText[16], ponderText[16];
    const Position& root = rootPosition();
    moveToText(root, *best, MoveStyle::COORDINATE, bestText);
    Position after = root;
    UndoRecord undo;
    const bool hasPonder = ponder != nullptr && after.makeLegal(*best, undo);
    if (hasPonder) moveToText(after, *ponder, MoveStyle::COORDINATE, ponderText);
    protocol_->engineMoved(bestText, hasPonder ? ponderText : nullptr, engine.lastScore, engine.rootMoveCount > 1);
}

void XboardOutput::startAnalysis(std::int64_t startTime) {
    LockGuard guard(textLock_);
    firstPvMove_[0] = '\0';
    currentMoveText_[0] = '\0';
    currentMoveNumber_ = 0;
    statNodes_ = 0.0;
    statDepth_ = 0;
    statRootMoves_ = 0;
    analysisStart_ = startTime;
    analyzing_ = true;
}

void XboardOutput::setPonderMoveText(const char* text) {
    LockGuard guard(textLock_);
    copyText(ponderMoveText_, sizeof ponderMoveText_, text);
}

void XboardOutput::firstPvMove(char* buffer, std::size_t size) {
    LockGuard guard(textLock_);
    copyText(buffer, size, firstPvMove_);
}

void XboardOutput::stat01Line(char* buffer, std::size_t size) {
    const std::int64_t now = systemMilliseconds();
    LockGuard guard(textLock_);
    const double centiseconds = static_cast<double>(now - analysisStart_) * 0.1;
    // Before the first root move is reported there is nothing left to count.
    const int toGo = statRootMoves_ > 0 ? statRootMoves_ - currentMoveNumber_ + 1 : 0;
    std::snprintf(buffer, size, "stat01:%13.0f %16.0f %6d %3d %3d %s", centiseconds, statNodes_, statDepth_,
                  toGo, statRootMoves_, currentMoveText_);
}

}  // namespace zelmora
