#pragma once
// Starts and stops the searches. Owns what the search threads share (the table, the flags, the
// game clock) and the engines of the threads; the session's game and options are copied into the
// shared state when a search starts.

#include <array>
#include <atomic>
#include <memory>

#include "control/time_budget.h"
#include "options/option_table.h"
#include "search/engine.h"
#include "search/transposition_table.h"
#include "util/platform.h"

namespace zelmora {

class EngineOutput;
struct Session;

class SearchControl {
public:
    static constexpr int MAX_THREADS = optionSpec(OptionId::NumberOfProcessors).max;
    static constexpr std::size_t STACK_SIZE = 1024000;

    explicit SearchControl(Session& session);
    // Stops a running search and waits for every search thread.
    ~SearchControl();
    SearchControl(const SearchControl&) = delete;
    SearchControl& operator=(const SearchControl&) = delete;

    // Where the searches report and answer; null for nowhere.
    void setOutput(EngineOutput* output);

    // True when a search was started (or, in blocking mode, has run).
    bool go(const GoParameters& parameters, bool ponder, bool infinite);
    // Ends the running search and waits for it; returns at once when none runs.
    void stop();
    // The same without the search's answer.
    void stopSilently();
    // The opponent played the expected move: the ponder search becomes the real one.
    void ponderhit();
    void setThreadCount(int count);
    int threadCount() const { return threadCount_; }

    Engine& mainEngine() { return *main_; }
    const Engine& mainEngine() const { return *main_; }
    // Worker i (thread index i + 1), or nullptr when the thread count leaves it out.
    const Engine* worker(int i) const { return unsigned(i) < workers_.size() ? workers_[i].get() : nullptr; }
    TranspositionTable& table() { return table_; }
    TimeLimits* clock() { return &clock_; }
    SharedSearch& shared() { return shared_; }
    const SharedSearch& shared() const { return shared_; }

    std::atomic<bool> quit{false};
    std::atomic<bool> blocking{false};

private:
    static constexpr int RING_SIZE = 4;

    static void threadEntry(void* self);
    static void workerEntry(void* engine);
    void takeSessionState();
    // The followed game's or the book's move for the root, or NO_MOVE.
    Move knownMove(const Engine& main);
    void searchBody();
    void startWorkers();
    void stopWorkers();
    bool searchRunning();
    void closeFinishedThreads();

    Session& session_;
    EngineOutput* output_ = nullptr;
    TranspositionTable table_;
    SharedSearch shared_{table_};
    TimeLimits clock_;
    SearchLimits workerClock_;  // shared by the worker engines, never given a budget
    std::unique_ptr<Engine> main_;
    Lock lock_;  // guards mainThread_ and the finished ring
    std::unique_ptr<NativeThread> mainThread_;
    // Threads whose search body has ended but which were not joined yet.
    std::array<std::unique_ptr<NativeThread>, RING_SIZE> finished_;
    unsigned finishedWrite_ = 0;
    unsigned finishedRead_ = 0;
    int threadCount_ = 1;
    // Worker i exists exactly while i < threadCount - 1; created once per count change.
    std::array<std::unique_ptr<Engine>, MAX_THREADS - 1> workers_;
    std::array<NativeThread, MAX_THREADS - 1> workerThreads_;
};

}  // namespace zelmora
