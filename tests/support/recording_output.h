#pragma once
// An output channel that records the results of searches instead of printing them. It can also
// hold the search thread in its result until the search is told to stop, so that a search that
// ends at once still looks like a running one to the control side.

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "search/engine.h"
#include "control/engine_output.h"

namespace zelmora::test {

class RecordingOutput : public EngineOutput {
public:
    struct Result {
        Move best;
        Move ponder;
        bool silent;        // the output was switched off when the result came
        bool finished;      // searchFinished came first
        std::thread::id thread;
    };

    explicit RecordingOutput(const SharedSearch& shared) : shared_(shared) {}

    void pvLine(const Engine&, int, int, int) override {}
    void currMove(const Engine&, Move, int) override {}
    void setRootPosition(const Position&) override {}
    void searchFinished(const Engine&) override { finished_ = true; }
    void bestMove(const Engine&, const Move* best, const Move* ponder) override {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (holdUntilStopped && !shared_.stop && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::lock_guard<std::mutex> guard(lock_);
        results_.push_back({best ? *best : NO_MOVE, ponder ? *ponder : NO_MOVE, isSilent(), finished_.exchange(false),
                            std::this_thread::get_id()});
    }

    std::vector<Result> results() {
        std::lock_guard<std::mutex> guard(lock_);
        return results_;
    }
    // Waits until count results are in; false after a generous time-out.
    bool waitForResults(std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (results().size() < count) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    std::atomic<bool> holdUntilStopped{true};

private:
    const SharedSearch& shared_;
    std::mutex lock_;
    std::vector<Result> results_;
    std::atomic<bool> finished_{false};
};

}  // namespace zelmora::test
