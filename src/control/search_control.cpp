#include "control/search_control.h"

#include <algorithm>
#include <new>

#include "uci/engine_output.h"

namespace zelmora {

SearchControl::SearchControl(Engine* engine, EngineOutput* output, TimeLimits* clock)
    : engine_(engine), output_(output), clock_(clock) {
    workerClock_.maxDepth = 100;
}

SearchControl::~SearchControl() {
    // Whoever reads the result is going away with us.
    quit = true;
    stop();
    closeFinishedThreads();
}

bool SearchControl::go(const GoParameters& parameters, bool ponder, bool infinite) {
    // A second search on the same engine would race the first: the interface has moved on, so
    // the old search ends without a result.
    if (searchRunning()) stopSilently();
    closeFinishedThreads();

    clock_->setBudget(parameters, infinite, ponder);
    clock_->start();
    engine_->continueIterating = true;
    engine_->ponder = ponder;
    engine_->stop = false;

    if (blocking && !ponder) {
        searchBody();
        return true;
    }
    LockGuard guard(lock_);
    std::unique_ptr<NativeThread> thread(new (std::nothrow) NativeThread);
    if (!thread || !thread->start(threadEntry, this, STACK_SIZE)) return false;
    // The body cannot hand its thread to the ring before this store: it needs the lock for that.
    mainThread_ = std::move(thread);
    return true;
}

void SearchControl::threadEntry(void* self) { static_cast<SearchControl*>(self)->searchBody(); }

void SearchControl::workerEntry(void* engine) { static_cast<Engine*>(engine)->think(); }

void SearchControl::startWorkers() {
    workerClock_.start();
    for (int i = 0; i < threadCount_ - 1; ++i) {
        Engine& worker = *workers_[i];
        worker.adoptStateOf(*engine_);
        worker.clock = &workerClock_;
        worker.continueIterating = true;
        worker.ponder = false;
        worker.stop = false;
        // A worker that cannot be started only leaves the others more to do.
        workerThreads_[i].start(workerEntry, &worker, STACK_SIZE);
    }
}

void SearchControl::stopWorkers() {
    for (int i = 0; i < threadCount_ - 1; ++i) {
        workers_[i]->stop = true;
        workers_[i]->ponder = false;
        workers_[i]->continueIterating = false;
    }
    NativeThread::joinAll(workerThreads_.data(), threadCount_ - 1);
    workerClock_.stop();
}

void SearchControl::searchBody() {
    const bool parallel = threadCount_ > 1;
    if (parallel) startWorkers();
    engine_->think();
    if (parallel) stopWorkers();
    if (!quit) {
        if (!engine_->stop && !engine_->moveFromBook) output_->searchFinished();
        clock_->stop();
        const Move best = engine_->pvMove;
        const Move ponder = engine_->ponderMove;
        output_->bestMove(best != NO_MOVE ? &best : nullptr, ponder != NO_MOVE ? &ponder : nullptr);
    }
    // A thread cannot join itself: the next "go" or the teardown does it.
    LockGuard guard(lock_);
    if (mainThread_) {
        finished_[finishedWrite_ % RING_SIZE] = std::move(mainThread_);
        ++finishedWrite_;
    }
}

void SearchControl::stop() {
    engine_->continueIterating = false;
    engine_->ponder = false;
    engine_->stop = true;
    std::unique_ptr<NativeThread> thread;
    {
        LockGuard guard(lock_);
        thread = std::move(mainThread_);
    }
    if (thread) thread->join();
}

// Only called while no search runs: the workers' threads are all joined.
void SearchControl::setThreadCount(int count) {
    threadCount_ = std::clamp(count, 1, MAX_THREADS);
    engine_->threadCount = threadCount_;
    for (int i = 0; i < MAX_THREADS - 1; ++i) {
        if (i >= threadCount_ - 1) {
            workers_[i].reset();
        } else if (!workers_[i]) {
            workers_[i].reset(new (std::nothrow) Engine(engine_->table, i + 1));
            if (!workers_[i]) {  // no memory for more workers: search with those there are
                threadCount_ = i + 1;
                engine_->threadCount = threadCount_;
                return;
            }
            workers_[i]->threadCount = threadCount_;
        } else {
            workers_[i]->threadCount = threadCount_;
        }
    }
}

bool SearchControl::searchRunning() {
    LockGuard guard(lock_);
    return mainThread_ != nullptr;
}

void SearchControl::stopSilently() {
    const bool wasSilent = output_->isSilent();
    output_->setSilent(true);
    stop();
    output_->setSilent(wasSilent);
}

void SearchControl::closeFinishedThreads() {
    std::array<std::unique_ptr<NativeThread>, RING_SIZE> done;
    {
        LockGuard guard(lock_);
        for (int i = 0; i < RING_SIZE && finishedRead_ != finishedWrite_; ++i, ++finishedRead_) {
            done[i] = std::move(finished_[finishedRead_ % RING_SIZE]);
        }
    }
    // Joined outside the lock; these threads have left their search body already.
    for (auto& thread : done) {
        if (thread) thread->join();
    }
}

}  // namespace zelmora
