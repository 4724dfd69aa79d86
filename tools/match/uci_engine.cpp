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
    SearchResult result;
    // Writing goes to a pipe the engine should be reading; a full pipe counts against its time.
    const std::int64_t cpuBefore = process_.cpuTimeUs();
    const TimePoint sent = SteadyClock::now();
    const TimePoint deadline = sent + std::chrono::microseconds(waitUs);
    if (!send(position, deadline) || !send(go, deadline)) {
        result.status = process_.alive() ? SearchResult::NO_ANSWER : SearchResult::DIED;
        return result;
    }
    std::string line;
    for (;;) {
        const auto status = process_.readLine(line, deadline);
        const TimePoint now = SteadyClock::now();
        result.elapsedUs = std::chrono::duration_cast<std::chrono::microseconds>(now - sent).count();
        if (status == EngineProcess::ReadStatus::TIMEOUT) {
            result.status = SearchResult::NO_ANSWER;
            return result;
        }
        if (status == EngineProcess::ReadStatus::CLOSED) {
            result.status = SearchResult::DIED;
            return result;
        }
        if (log_) log_->write(tag_, ">", line);
        std::istringstream in(line);
        std::string first;
        in >> first;
        if (first == "bestmove") {
            in >> result.move;
            result.status = SearchResult::MOVE;
            const std::int64_t cpuAfter = process_.cpuTimeUs();
            if (cpuBefore >= 0 && cpuAfter >= 0) result.cpuUs = cpuAfter - cpuBefore;
            return result;
        }
        parseInfoLine(line, result.info);
    }
}

void UciEngine::quit() {
    if (!process_.started()) return;
    if (process_.alive()) send("quit", SteadyClock::now() + std::chrono::milliseconds(200));
    process_.stop(std::chrono::milliseconds(1000));
}

}  // namespace zelmora::match
