// The xboard commands that change the game, and the engine's move.

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "board/notation.h"
#include "control/session.h"
#include "util/platform.h"
#include "util/text.h"
#include "xboard/game_end.h"
#include "xboard/xboard_output.h"
#include "xboard/xboard_protocol.h"

namespace zelmora {

namespace {

// The engine never plans with less than this, however far the clock has run down.
constexpr std::int64_t MIN_OWN_TIME = 150;

}  // namespace

void XboardProtocol::newGame(const char*) {
    stopSilently();
    queue("position startpos");
    setOption(OptionId::Chess960, "false");
    setOption(OptionId::ClearHash, "true");
    queue("ucinewgame");
    chess960_ = false;
    positionBase_ = "startpos";
    moveList_.clear();
    board_.newGame();
    timeControl_.reset();
    ownTime_ = static_cast<std::int64_t>(TimeControl::DEFAULT_BASE_MS);
    fixedTime_ = -1;
    fixedDepth_ = -1;
    expectedMove_.clear();
    // Ponder mode and "post" are settings of the interface and outlast the game.
    forceMode_ = false;
    pondering_ = false;
    scores_.clear();
    if (analyzeMode_) startAnalysis();
}

void XboardProtocol::usermove(const char* line) {
    searchStart_ = systemMilliseconds();
    char text[7] = "";
    const char* argument = skipWhite(skipWord(skipWhite(line)));
    if (std::sscanf(argument, "%6s", text) != 1) {
        output_->answerError("bad parameters", line);
        return;
    }
    std::string played;
    if (!playMove(text, &played)) {
        std::string answer = "Illegal move: ";
        answer += text;
        output_->answer(answer.c_str());
        return;
    }
    if (announceGameEnd()) {
        if (analyzeMode_ || pondering_) stopSilently();
        return;
    }
    if (analyzeMode_) {
        startAnalysis();
        return;
    }
    if (forceMode_) return;
    if (ponderMode_ && pondering_ && expectedMove_ == played) {
        // The search on this very move goes on as the real one.
        pondering_ = false;
        output_->setPonderMoveText("");
        queue("ponderhit");
        return;
    }
    if (pondering_) stopSilently();
    sendSearch(false);
}

void XboardProtocol::setboard(const char* line) {
    stopSilently();
    const char* fen = skipWhite(skipWord(skipWhite(line)));
    // The game goes on from the new position, so the moves before it are dropped.
    moveList_.clear();
    if (!board_.setFen(fen)) {
        output_->answerError("Illegal position", fen);
        positionBase_ = "startpos";
        board_.newGame();
    } else {
        positionBase_ = std::string("fen ") + fen;
    }
    board_.position.chess960Castling = chess960_ ? 1 : 0;
    expectedMove_.clear();
    if (analyzeMode_) startAnalysis();
}

void XboardProtocol::undo(const char*) {
    if (forceMode_ || analyzeMode_) {
        if (!moveList_.empty()) moveList_.resize(moveList_.size() - MOVE_WIDTH);
        rebuildBoard();
        if (analyzeMode_) startAnalysis();
    }
    scores_.clear();
}

void XboardProtocol::remove(const char*) {
    if (pondering_) {
        stopSilently();
        expectedMove_.clear();
    }
    moveList_.resize(moveList_.size() > 2 * MOVE_WIDTH ? moveList_.size() - 2 * MOVE_WIDTH : 0);
    scores_.clear();
    rebuildBoard();
}

void XboardProtocol::analyze(const char*) { startAnalysis(); }

void XboardProtocol::startAnalysis() {
    stopSilently();
    analyzeMode_ = true;
    queue(positionLine(nullptr));
    output_->startAnalysis(systemMilliseconds());
    queue("go infinite");
}

std::string XboardProtocol::positionLine(const char* extraMove) const {
    std::string line = "position " + positionBase_;
    if (!moveList_.empty() || extraMove != nullptr) {
        line += " moves ";
        line += moveList_;
        if (extraMove != nullptr) line += extraMove;
    }
    return line;
}

void XboardProtocol::sendSearch(bool ponder) {
    queue(positionLine(ponder ? expectedMove_.c_str() : nullptr));
    char go[200];
    if (fixedDepth_ >= 0) {
        std::snprintf(go, sizeof go, "go depth %ld", fixedDepth_);
    } else if (fixedTime_ >= 0) {
        std::snprintf(go, sizeof go, "go movetime %10.0f", static_cast<double>(fixedTime_));
    } else {
        const int played = halfMoves() + (ponder ? 1 : 0);
        const double time = static_cast<double>(ownTime_);
        const double increment = timeControl_.increment(played);
        const int movesToGo = timeControl_.movesToGo(played);
        char movesToGoText[24] = "";
        if (movesToGo > 0) std::snprintf(movesToGoText, sizeof movesToGoText, " movestogo %d", movesToGo);
        // One call, so that a line too long for the buffer is cut, never overrun.
        std::snprintf(go, sizeof go, "go wtime %16.0f btime %16.0f winc %16.0f binc %16.0f%s%s", time, time, increment,
                      increment, movesToGoText, ponder ? " ponder" : "");
    }
    output_->setPonderMoveText(ponder ? expectedMove_.c_str() : "");
    queue(go);
}

bool XboardProtocol::playMove(const char* text, std::string* canonicalText) {
    Move move = NO_MOVE;
    if (!textToMove(board_.position, text, move, true)) return false;
    // Kept in the engine's own spelling, which its "position" command reads back.
    char canonical[16];
    moveToText(board_.position, move, MoveStyle::COORDINATE, canonical);
    char padded[MOVE_WIDTH + 1];
    std::snprintf(padded, sizeof padded, "%-6.6s", canonical);
    moveList_ += padded;
    board_.playMove(move);
    if (canonicalText != nullptr) *canonicalText = canonical;
    return true;
}

void XboardProtocol::rebuildBoard() {
    if (positionBase_ == "startpos" || !board_.setFen(positionBase_.c_str() + 4)) board_.newGame();
    board_.position.chess960Castling = chess960_ ? 1 : 0;
    const std::string moves = moveList_;
    moveList_.clear();
    for (std::size_t i = 0; i + MOVE_WIDTH <= moves.size(); i += MOVE_WIDTH) {
        char text[MOVE_WIDTH + 1];
        if (std::sscanf(moves.c_str() + i, "%6s", text) != 1 || !playMove(text)) break;
    }
}

bool XboardProtocol::announceGameEnd() {
    const char* text = gameEndText(board_);
    if (text == nullptr) return false;
    output_->answer(text);
    return true;
}

void XboardProtocol::engineMoved(const char* bestText, const char* ponderText, int score, bool rootHadChoice) {
    LockGuard guard(lock_);
    // Every "go" run since the last silent stop was queued before it: its answer is void.
    if (goStarted_.load() <= goStoppedUpTo_ || analyzeMode_ || forceMode_) return;
    if (bestText == nullptr) {
        output_->answerError("no move found");
        return;
    }
    pondering_ = false;
    output_->setPonderMoveText("");
    const bool white = board_.position.sideToMove() == WHITE;
    if (scores_.recordMove(white, score, rootHadChoice, halfMoves())) output_->answer("offer draw");
    const int played = halfMoves();
    std::string answer = "move ";
    answer += bestText;
    output_->answer(answer.c_str());
    const double used = static_cast<double>(systemMilliseconds() - searchStart_);
    const double left = static_cast<double>(ownTime_) - used + timeControl_.creditAfterMove(played);
    ownTime_ = static_cast<std::int64_t>(std::clamp(left, double(MIN_OWN_TIME), MAX_CLOCK_MS));
    if (!playMove(bestText)) return;  // the engine's board and ours disagree: nothing more to build on
    expectedMove_.clear();
    if (announceGameEnd()) return;
    if (scores_.shouldResign(session_->resignThreshold.load())) {
        output_->answer("resign");
        return;
    }
    Move reply = NO_MOVE;
    if (ponderText == nullptr || !textToMove(board_.position, ponderText, reply, true)) return;
    char text[16];
    expectedMove_ = moveToText(board_.position, reply, MoveStyle::COORDINATE, text);
    if (ponderMode_ && fixedTime_ < 0 && fixedDepth_ < 0) {
        pondering_ = true;
        sendSearch(true);
    }
}

}  // namespace zelmora
