#pragma once
// One UCI engine of a match: start-up handshake, options, and a search with a hard deadline.

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "match/engine_process.h"

namespace zelmora::match {

// Every line to and from the engines, with the time since the match started.
class ExchangeLog {
public:
    ExchangeLog() = default;
    ExchangeLog(const ExchangeLog&) = delete;
    ExchangeLog& operator=(const ExchangeLog&) = delete;
    ~ExchangeLog();
    bool open(const std::string& path);
    bool enabled() const { return file_ != nullptr; }
    void write(const std::string& who, const char* direction, const std::string& line);
    void note(const std::string& text);

private:
    std::FILE* file_ = nullptr;
    TimePoint start_ = SteadyClock::now();
};

struct EngineConfig {
    std::string command;
    std::string name;  // empty: the engine's "id name"
    std::vector<std::pair<std::string, std::string>> options;  // setoption name first value second
};

// The last "info" of a search: the score is from the engine's point of view.
struct SearchInfo {
    bool hasScore = false;
    bool mate = false;
    int score = 0;  // centipawns, or moves to mate (negative when being mated)
    int depth = 0;
};

// Score in centipawns with mates far beyond any material count.
int comparableScore(const SearchInfo& info);

// Reads the score and depth words of an "info" line into info; other lines leave it alone.
void parseInfoLine(const std::string& line, SearchInfo& info);

struct SearchResult {
    enum Status { MOVE, NO_ANSWER, DIED } status = NO_ANSWER;
    std::string move;            // text after "bestmove"
    std::int64_t elapsedUs = 0;  // from sending "go" to reading "bestmove"
    std::int64_t cpuUs = -1;     // processor time the engine used meanwhile, -1 when unknown
    SearchInfo info;
};

class UciEngine {
public:
    // tag marks the engine's lines in the log.
    UciEngine(EngineConfig config, ExchangeLog* log, std::string tag, std::string errorPath = "")
        : config_(std::move(config)), log_(log), tag_(std::move(tag)), errorPath_(std::move(errorPath)) {}

    // Starts the process and runs uci/uciok, the options and isready/readyok, each within timeoutMs.
    bool start(int timeoutMs, bool chess960, std::string& error);
    // ucinewgame and isready/readyok; false when the engine does not come back in time.
    bool newGame(int timeoutMs);
    // Sends the position and go lines and waits up to waitUs for "bestmove".
    SearchResult search(const std::string& position, const std::string& go, std::int64_t waitUs);
    // quit, a short wait, then kill.
    void quit();
    void kill() { process_.kill(); }
    // For an engine whose output ended: gives it a moment to exit so that its status is known.
    void settle() { process_.stop(std::chrono::milliseconds(500)); }
    bool alive() { return process_.alive(); }
    std::string exitDescription() { return process_.exitDescription(); }

    const std::string& name() const { return name_; }
    const std::string& command() const { return config_.command; }
    // Options the engine announced; setoption is still sent for the others, with a warning.
    const std::vector<std::string>& announcedOptions() const { return announced_; }
    const std::vector<std::string>& warnings() const { return warnings_; }

private:
    bool send(const std::string& line, TimePoint deadline);
    // Reads lines until one starts with the word; false on time-out or end of output.
    bool waitFor(const std::string& word, TimePoint deadline);
    std::string waitFailure(const char* word, int timeoutMs);

    EngineConfig config_;
    ExchangeLog* log_;
    std::string tag_;
    std::string errorPath_;
    EngineProcess process_;
    std::string name_;
    std::vector<std::string> announced_;
    std::vector<std::string> warnings_;
    bool outputClosed_ = false;  // the last wait ended because the engine closed its output
};

}  // namespace zelmora::match
