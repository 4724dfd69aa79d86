#include "xboard/xboard_protocol.h"

#include <cstdio>
#include <cstring>

#include "board/notation.h"
#include "options/option_table.h"
#include "search/engine.h"
#include "uci/uci_protocol.h"
#include "util/platform.h"
#include "util/text.h"
#include "xboard/xboard_output.h"

namespace zelmora {

const XboardProtocol::Keyword XboardProtocol::KEYWORDS[] = {
    {"xboard", &XboardProtocol::xboard},
    {"protover", &XboardProtocol::protover},
    {"accepted", &XboardProtocol::accepted},
    {"rejected", &XboardProtocol::rejected},
    {"new", &XboardProtocol::newGame},
    {"variant", &XboardProtocol::variant},
    {"random", &XboardProtocol::random},
    {"force", &XboardProtocol::force},
    {"go", &XboardProtocol::go},
    {"playother", &XboardProtocol::playother},
    {"level", &XboardProtocol::level},
    {"st", &XboardProtocol::st},
    {"sd", &XboardProtocol::sd},
    {"time", &XboardProtocol::time},
    {"otim", &XboardProtocol::otim},
    {"usermove", &XboardProtocol::usermove},
    {"?", &XboardProtocol::moveNow},
    {"ping", &XboardProtocol::ping},
    {"draw", &XboardProtocol::draw},
    {"result", &XboardProtocol::result},
    {"setboard", &XboardProtocol::setboard},
    {"hint", &XboardProtocol::hint},
    {"bk", &XboardProtocol::bk},
    {"undo", &XboardProtocol::undo},
    {"remove", &XboardProtocol::remove},
    {"hard", &XboardProtocol::hard},
    {"easy", &XboardProtocol::easy},
    {"post", &XboardProtocol::post},
    {"nopost", &XboardProtocol::nopost},
    {"analyze", &XboardProtocol::analyze},
    {"name", &XboardProtocol::name},
    {"rating", &XboardProtocol::rating},
    {"computer", &XboardProtocol::computer},
    {"exit", &XboardProtocol::exit},
    {".", &XboardProtocol::dot},
};

XboardProtocol::XboardProtocol(UciProtocol* uci, XboardOutput* output, const Session* session)
    : uci_(uci), output_(output), session_(session), queue_(runUciLine, this) {}

XboardProtocol::~XboardProtocol() { queue_.terminate(); }

void XboardProtocol::runUciLine(void* self, const char* line) {
    auto* protocol = static_cast<XboardProtocol*>(self);
    if (protocol->observer_ != nullptr) protocol->observer_(protocol->observerContext_, line);
    if (startsWith(line, "go")) ++protocol->goStarted_;
    protocol->uci_->handle(line);
}

void XboardProtocol::handle(const char* line) {
    char word[17];
    if (std::sscanf(line, "%16s", word) != 1) return;
    // Outside the lock: the worker may need it to finish the lines it is running.
    queue_.waitForRoom();
    {
        LockGuard guard(lock_);
        if (protocolVersion_ < 2 && std::strcmp(word, "xboard") != 0 && std::strcmp(word, "protover") != 0) {
            output_->answerError("protocol version 2 required", line);
            queue("quit");
            return;
        }
        if (std::strcmp(word, "quit") == 0) {
            output_->setQuitting();
            setOption(OptionId::NoOutput, "true");
            queue("quit");
        } else {
            Command command = &XboardProtocol::unknown;
            for (const Keyword& keyword : KEYWORDS) {
                if (std::strcmp(word, keyword.word) == 0) {
                    command = keyword.command;
                    break;
                }
            }
            (this->*command)(line);
            return;
        }
    }
    // Waited for without the lock: a search that ends meanwhile takes it to report its move.
    queue_.waitUntilIdle();
}

void XboardProtocol::queue(const char* uciLine) {
    // Only a flood of commands while the engine hangs fills every buffer; the line is then lost.
    if (!queue_.enqueue(uciLine)) output_->answerError("command queue full", uciLine);
    if (startsWith(uciLine, "go")) ++goQueued_;
}

void XboardProtocol::setOption(OptionId option, const char* value) {
    queue(std::string("setoption name ") + optionSpec(option).name + " value " + value);
}

void XboardProtocol::stopSilently() {
    setOption(OptionId::NoOutput, "true");
    queue("stop");
    setOption(OptionId::NoOutput, "false");
    goStoppedUpTo_ = goQueued_;
    output_->setPonderMoveText("");
    pondering_ = false;
}

void XboardProtocol::xboard(const char*) { output_->answer(""); }

void XboardProtocol::rejected(const char* line) { output_->answerError("not implemented", line); }

void XboardProtocol::variant(const char* line) {
    chess960_ = std::strstr(line, "fischerandom") != nullptr;
    setOption(OptionId::Chess960, chess960_ ? "true" : "false");
    board_.position.chess960Castling = chess960_ ? 1 : 0;
}

void XboardProtocol::force(const char*) {
    stopSilently();
    forceMode_ = true;
}

void XboardProtocol::go(const char*) {
    forceMode_ = false;
    searchStart_ = systemMilliseconds();
    sendSearch(false);
}

void XboardProtocol::playother(const char*) { forceMode_ = false; }

void XboardProtocol::level(const char* line) {
    if (!timeControl_.parseLevel(skipWord(skipWhite(line)))) {
        output_->answerError("bad parameters", line);
        return;
    }
    ownTime_ = static_cast<std::int64_t>(timeControl_.period(0).baseMs);
    fixedTime_ = -1;
    fixedDepth_ = -1;
}

// A missing number leaves the setting as it was; the interface hears why.
void XboardProtocol::st(const char* line) {
    double seconds = 0.0;
    if (std::sscanf(skipWord(skipWhite(line)), "%lf", &seconds) != 1 || !(seconds >= 0.0)) {
        output_->answerError("bad parameters", line);
        return;
    }
    fixedTime_ = static_cast<std::int64_t>(clampClock(seconds * 1000.0));
    fixedDepth_ = -1;
}

void XboardProtocol::sd(const char* line) {
    long depth = 0;
    if (std::sscanf(skipWord(skipWhite(line)), "%ld", &depth) != 1 || depth < 1) {
        output_->answerError("bad parameters", line);
        return;
    }
    fixedDepth_ = depth;
    fixedTime_ = -1;
}

void XboardProtocol::time(const char* line) {
    std::int64_t centiseconds = 0;
    if (!readInteger(skipWord(skipWhite(line)), centiseconds)) {
        output_->answerError("bad parameters", line);
        return;
    }
    ownTime_ = static_cast<std::int64_t>(clampClock(static_cast<double>(centiseconds) * 10.0));
}

void XboardProtocol::moveNow(const char*) {
    // A ponder search has no move to play yet: the opponent has not moved.
    if (!(ponderMode_ && pondering_)) queue("stop");
}

void XboardProtocol::ping(const char* line) {
    char answer[30];
    std::strncpy(answer, line, sizeof answer - 1);
    answer[sizeof answer - 1] = '\0';
    if (answer[0] != '\0' && answer[1] != '\0') answer[1] = 'o';
    output_->answer(answer);
}

void XboardProtocol::draw(const char*) { scores_.opponentOffersDraw(); }

void XboardProtocol::result(const char*) { stopSilently(); }

void XboardProtocol::hint(const char*) {
    char text[24];
    if (analyzeMode_) {
        output_->firstPvMove(text, sizeof text);
    } else {
        std::snprintf(text, sizeof text, "%s", expectedMove_.c_str());
    }
    if (text[0] == '\0') return;
    std::string line = "Hint: ";
    line += text;
    output_->answer(line.c_str());
}

// No opening book is shown to the interface.
void XboardProtocol::bk(const char*) { output_->answer(""); }

void XboardProtocol::hard(const char*) { ponderMode_ = true; }

void XboardProtocol::easy(const char*) {
    if (pondering_) stopSilently();
    ponderMode_ = false;
}

void XboardProtocol::post(const char*) { output_->setPost(true); }

void XboardProtocol::nopost(const char*) { output_->setPost(false); }

void XboardProtocol::name(const char* line) {
    const char* text = std::strstr(line, "name ");
    setOption(OptionId::Opponent, text != nullptr ? text + 5 : "");
}

void XboardProtocol::exit(const char*) {
    if (!analyzeMode_) return;
    stopSilently();
    analyzeMode_ = false;
    output_->stopAnalysis();
    setOption(OptionId::ClearHash, "true");
}

void XboardProtocol::dot(const char* line) {
    if (!analyzeMode_) {
        unknown(line);
        return;
    }
    char text[160];
    output_->stat01Line(text, sizeof text);
    output_->answer(text);
}

void XboardProtocol::unknown(const char* line) { output_->answerError("unknown command", line); }

}  // namespace zelmora
