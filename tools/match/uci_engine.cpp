#include "match/uci_engine.h"

#include <sstream>

namespace zelmora::match {

ExchangeLog::~ExchangeLog() {
    if (file_) std::fclose(file_);
}

bool ExchangeLog::open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "w");
    return file_ != nullptr;
}

void ExchangeLog::write(const std::string& who, const char* direction, const std::string& line) {
    if (!file_) return;
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - start_).count();
    std::fprintf(file_, "%10.3f %s %s %s\n", seconds, who.c_str(), direction, line.c_str());
    std::fflush(file_);
}

void ExchangeLog::note(const std::string& text) { write("--", "", text); }

int comparableScore(const SearchInfo& info) {
    if (!info.mate) return info.score;
    return info.score > 0 ? 100000 - info.score : -100000 - info.score;
}

void parseInfoLine(const std::string& line, SearchInfo& info) {
    std::istringstream in(line);
    std::string word;
    if (!(in >> word) || word != "info") return;
    while (in >> word) {
        if (word == "depth") {
            int depth;
            if (in >> depth) info.depth = depth;
        } else if (word == "score") {
            std::string kind;
            int value;
            if (in >> kind >> value && (kind == "cp" || kind == "mate")) {
                info.hasScore = true;
                info.mate = kind == "mate";
                info.score = value;
            }
        } else if (word == "string") {
            return;  // free text to the end of the line
        }  // moves of a pv never look like these words, so words after the pv are still read
    }
}

bool UciEngine::send(const std::string& line, TimePoint deadline) {
    if (log_) log_->write(tag_, "<", line);
    return process_.writeLine(line, deadline);
}

bool UciEngine::waitFor(const std::string& word, TimePoint deadline) {
    std::string line;
    for (;;) {
        const auto status = process_.readLine(line, deadline);
        outputClosed_ = status == EngineProcess::ReadStatus::CLOSED;
        if (status != EngineProcess::ReadStatus::LINE) return false;
        if (log_) log_->write(tag_, ">", line);
        std::istringstream in(line);
        std::string first;
        in >> first;
        if (first == word) return true;
        if (first == "id") {
            std::string kind;
            in >> kind;
            if (kind == "name" && config_.name.empty()) {
                std::string rest;
                std::getline(in >> std::ws, rest);
                while (!rest.empty() && rest.back() == ' ') rest.pop_back();
                if (!rest.empty()) name_ = rest;
            }
        } else if (first == "option") {
            const std::size_t at = line.find(" name ");
            const std::size_t type = line.find(" type ");
            if (at != std::string::npos && type != std::string::npos && type > at)
                announced_.push_back(line.substr(at + 6, type - at - 6));
        }
    }
}

std::string UciEngine::waitFailure(const char* word, int timeoutMs) {
    if (outputClosed_) {
        process_.stop(std::chrono::milliseconds(500));  // to learn how it ended
        return std::string("output closed before ") + word + " (" + process_.exitDescription() + ")";
    }
    return std::string("no ") + word + " within " + std::to_string(timeoutMs) + " ms";
}

bool UciEngine::start(int timeoutMs, bool chess960, std::string& error) {
    phase_ = Phase::IDLE;
    announced_.clear();
    warnings_.clear();
    name_ = config_.name;
    if (!process_.start(config_.command, errorPath_, error)) return false;
    const auto deadline = [timeoutMs] { return SteadyClock::now() + std::chrono::milliseconds(timeoutMs); };
    if (!send("uci", deadline()) || !waitFor("uciok", deadline())) {
        error = waitFailure("uciok", timeoutMs);
        return false;
    }
    if (name_.empty()) name_ = config_.command;
    if (log_) log_->note(tag_ + " is " + name_ + " (" + config_.command + ", pid " + std::to_string(process_.pid()) + ")");
    auto options = config_.options;
    if (config_.ponder) options.insert(options.begin(), {"Ponder", "true"});
    if (chess960) options.emplace_back("UCI_Chess960", "true");
    for (const auto& [option, value] : options) {
        bool known = false;
        for (const std::string& a : announced_) known = known || a == option;
        if (!known) warnings_.push_back("option '" + option + "' was not announced");
        std::string line = "setoption name " + option;
        if (!value.empty()) line += " value " + value;
        if (!send(line, deadline())) {
            error = "engine gone while setting options (" + process_.exitDescription() + ")";
            return false;
        }
    }
    if (!send("isready", deadline()) || !waitFor("readyok", deadline())) {
        error = waitFailure("readyok", timeoutMs);
        return false;
    }
    return true;
}

bool UciEngine::newGame(int timeoutMs) {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    return send("ucinewgame", deadline) && send("isready", deadline) && waitFor("readyok", deadline);
}

SearchResult UciEngine::search(const std::string& position, const std::string& go, std::int64_t waitUs) {
    const TimePoint deadline = SteadyClock::now() + std::chrono::microseconds(waitUs);
    if (!startSearch(position, go, false, deadline)) return result_;
    return awaitResult(deadline);
}

void UciEngine::restartTiming() {
    cpuAtStart_ = process_.cpuTimeUs();
    searchStart_ = SteadyClock::now();
}

bool UciEngine::startSearch(const std::string& position, const std::string& go, bool ponder, TimePoint deadline) {
    result_ = SearchResult();
    // Writing goes to a pipe the engine should be reading; a full pipe counts against its time.
    restartTiming();
    phase_ = ponder ? Phase::PONDERING : Phase::SEARCHING;
    if (send(position, deadline) && send(go, deadline)) return true;
    result_.status = process_.alive() ? SearchResult::NO_ANSWER : SearchResult::DIED;
    phase_ = Phase::IDLE;
    return false;
}

bool UciEngine::readAvailable() {
    if (phase_ == Phase::IDLE) return true;
    std::string line;
    // A bounded batch: an engine that never stops talking must not starve the other one.
    for (int batch = 0; batch < 1000; ++batch) {
        const auto status = process_.readAvailableLine(line);
        if (status == EngineProcess::ReadStatus::TIMEOUT) return false;
        const auto now = SteadyClock::now();
        result_.elapsedUs = std::chrono::duration_cast<std::chrono::microseconds>(now - searchStart_).count();
        if (status == EngineProcess::ReadStatus::CLOSED) {
            result_.status = SearchResult::DIED;
            phase_ = Phase::IDLE;
            return true;
        }
        if (log_) log_->write(tag_, ">", line);
        std::istringstream in(line);
        std::string first;
        in >> first;
        if (first == "bestmove") {
            std::string word;
            in >> result_.move;
            if (in >> word && word == "ponder") in >> result_.ponderMove;
            result_.status = phase_ == Phase::PONDERING ? SearchResult::EARLY_BESTMOVE : SearchResult::MOVE;
            const std::int64_t cpuNow = process_.cpuTimeUs();
            if (cpuAtStart_ >= 0 && cpuNow >= 0) result_.cpuUs = cpuNow - cpuAtStart_;
            phase_ = Phase::IDLE;
            return true;
        }
        parseInfoLine(line, result_.info);
    }
    return false;
}

const SearchResult& UciEngine::awaitResult(TimePoint deadline, UciEngine* watched) {
    for (;;) {
        if (readAvailable() || (watched && watched->readAvailable())) return result_;
        const TimePoint now = SteadyClock::now();
        if (now >= deadline) {
            result_.status = SearchResult::NO_ANSWER;
            result_.elapsedUs = std::chrono::duration_cast<std::chrono::microseconds>(now - searchStart_).count();
            return result_;
        }
        EngineProcess::waitForOutput(process_, watched ? &watched->process_ : nullptr, deadline);
    }
}

bool UciEngine::tell(const char* word, TimePoint deadline) {
    // What arrived before the word belongs to the time before it: a pondering engine that has
    // already answered has broken the protocol.
    if (readAvailable()) return false;
    restartTiming();
    phase_ = Phase::SEARCHING;
    if (send(word, deadline)) return true;
    result_.status = process_.alive() ? SearchResult::NO_ANSWER : SearchResult::DIED;
    phase_ = Phase::IDLE;
    return false;
}

bool UciEngine::ponderhit(TimePoint deadline) { return tell("ponderhit", deadline); }

const SearchResult& UciEngine::stopSearch(std::int64_t waitUs) {
    const TimePoint deadline = SteadyClock::now() + std::chrono::microseconds(waitUs);
    if (tell("stop", deadline)) return awaitResult(deadline);
    if (result_.status == SearchResult::MOVE) result_.elapsedUs = 0;  // it had finished before the stop
    return result_;
}

void UciEngine::quit() {
    if (!process_.started()) return;
    if (process_.alive()) send("quit", SteadyClock::now() + std::chrono::milliseconds(200));
    process_.stop(std::chrono::milliseconds(1000));
}

}  // namespace zelmora::match
