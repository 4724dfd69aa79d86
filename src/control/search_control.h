#pragma once
// Starts and stops the searches of the main engine.

#include <array>
#include <atomic>
#include <memory>

#include "control/time_limits.h"
#include "options/option_table.h"
#include "search/engine.h"
#include "util/platform.h"

namespace zelmora {

class EngineOutput;

class SearchControl {
public:
    static constexpr int MAX_THREADS = optionSpec(OptionId::NumberOfProcessors).max;
    static constexpr std::size_t STACK_SIZE = 1024000;

    SearchControl(Engine* engine, EngineOutput* output, TimeLimits* clock);
    // Stops a running search and waits for every search thread.
    ~SearchControl();
    SearchControl(const SearchControl&) = delete;
    SearchControl& operator=(const SearchControl&) = delete;

    // True when a search was started (or, in blocking mode, has run).
    bool go(const GoParameters& parameters, bool ponder, bool infinite);
    // Ends the running search and waits for it; returns at once when none runs.
    void stop();
    void setThreadCount(int count);
    int threadCount() const { return threadCount_; }
    // Worker i (thread index i + 1), or nullptr when the thread count leaves it out.
    const Engine* worker(int i) const { return unsigned(i) < workers_.size() ? workers_[i].get() : nullptr; }
    TimeLimits* clock() const { return clock_; }

    std::atomic<bool> quit{false};
    std::atomic<bool> blocking{false};

private:
    static constexpr int RING_SIZE = 4;

    static void threadEntry(void* self);
    static void workerEntry(void* engine);
    void searchBody();
    void startWorkers();
    void stopWorkers();
    bool searchRunning();
    void stopSilently();
    void closeFinishedThreads();

    Engine* engine_;
    EngineOutput* output_;
    TimeLimits* clock_;
    TimeLimits workerClock_;  // shared by the worker engines, never given a budget
    Lock lock_;               // guards mainThread_ and the finished ring
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
