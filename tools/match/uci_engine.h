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
    bool ponder = false;  // think on the opponent's time
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
    // EARLY_BESTMOVE: a pondering engine answered before it was told ponderhit or stop.
    enum Status { MOVE, NO_ANSWER, DIED, EARLY_BESTMOVE } status = NO_ANSWER;
    std::string move;            // text after "bestmove"
    std::string ponderMove;      // text after "ponder" on the bestmove line, if any
    std::int64_t elapsedUs = 0;  // from sending "go" (or "ponderhit", or "stop") to reading "bestmove"
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

    // A search in steps, so that the runner can read both engines while one of them ponders.
    // Sends the position and go lines ("go ponder ..." when ponder is set); false when the engine
    // is gone or does not take them before the deadline.
    bool startSearch(const std::string& position, const std::string& go, bool ponder, TimePoint deadline);
    // Reads the lines that have arrived, without waiting; true once the search is over: bestmove,
    // output closed, or a ponder search that answered on its own (EARLY_BESTMOVE).
    bool readAvailable();
    // Waits for the search to end; the result says NO_ANSWER at the deadline. Also reads what
    // watched (a pondering opponent, may be null) says, and returns early once its search is over.
    const SearchResult& awaitResult(TimePoint deadline, UciEngine* watched = nullptr);
    // The move the engine ponders on was played: its time runs from now. False when its search had
    // already ended (the result says how) or the engine does not take the word before the deadline.
    bool ponderhit(TimePoint deadline);
    // Ends the search and waits up to waitUs for its bestmove; elapsedUs is how long that took.
    const SearchResult& stopSearch(std::int64_t waitUs);
    bool searching() const { return phase_ != Phase::IDLE; }
    const SearchResult& result() const { return result_; }
    bool ponders() const { return config_.ponder; }
    // quit, a short wait, then kill.
    void quit();
    void kill() {
        process_.kill();
        phase_ = Phase::IDLE;
    }
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
    // Starts the clock of the search under way: elapsed time and processor time count from now.
    void restartTiming();
    // Sends a word to the search under way (ponderhit, stop), which from then on owes a bestmove.
    bool tell(const char* word, TimePoint deadline);

    enum class Phase { IDLE, SEARCHING, PONDERING };

    EngineConfig config_;
    ExchangeLog* log_;
    std::string tag_;
    std::string errorPath_;
    EngineProcess process_;
    std::string name_;
    std::vector<std::string> announced_;
    std::vector<std::string> warnings_;
    bool outputClosed_ = false;  // the last wait ended because the engine closed its output
    Phase phase_ = Phase::IDLE;
    SearchResult result_;  // of the search under way, or of the last one
    TimePoint searchStart_;
    std::int64_t cpuAtStart_ = -1;
};

}  // namespace zelmora::match
