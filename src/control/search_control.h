#pragma once
// Starts and stops the searches of the main engine.

#include <atomic>
#include <cstdint>
#include <mutex>

#include "control/time_limits.h"

namespace zelmora {

class Engine;
class EngineOutput;

// The "go" figures of the side to move; absent values are 0.
struct GoParameters {
    std::int64_t time = 0;
    std::int64_t increment = 0;
    int movesToGo = 0;
    int depth = 0;
    std::int64_t nodes = 0;
    int mate = 0;
    std::int64_t moveTime = 0;
};

class SearchControl {
public:
    SearchControl(Engine* engine, EngineOutput* output, TimeLimits* clock);
    ~SearchControl();
    SearchControl(const SearchControl&) = delete;
    SearchControl& operator=(const SearchControl&) = delete;

    // True when a search was started.
    bool go(const GoParameters& parameters, bool ponder, bool infinite);
    // Ends the running search and waits for it; returns at once when none runs.
    void stop();

    std::atomic<bool> quit{false};
    std::atomic<bool> blocking{false};
    int threadCount = 1;

private:
    Engine* engine_;
    EngineOutput* output_;
    TimeLimits* clock_;
    TimeLimits workerClock_;
    std::mutex lock_;  // guards the main search thread's handle
};

}  // namespace zelmora
