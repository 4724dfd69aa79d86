#include "control/search_control.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "board/movegen.h"
#include "book/book_probe.h"
#include "control/engine_output.h"
#include "control/session.h"
#include "pgn/game_script.h"

namespace zelmora {

SearchControl::SearchControl(Session& session) : session_(session), main_(std::make_unique<Engine>(shared_, 0)) {
    main_->clock = &clock_;
    workerClock_.maxDepth = 100;
}

SearchControl::~SearchControl() {
    // Whoever reads the result is going away with us.
    quit = true;
    stop();
    closeFinishedThreads();
}

void SearchControl::setOutput(EngineOutput* output) {
    output_ = output;
    shared_.setListener(output);
}

void SearchControl::takeSessionState() {
    shared_.game = session_.game;
    SearchSettings& settings = shared_.settings;
    settings.multiPv = session_.multiPv;
    settings.threadCount = threadCount_;
    settings.alwaysClearHash = session_.alwaysClearHash;
    std::memcpy(settings.timeLogFile, session_.timeLogFile, sizeof settings.timeLogFile);
    settings.rootFilter = session_.rootFilter;
}

bool SearchControl::go(const GoParameters& parameters, bool ponder, bool infinite) {
    // A second search on the same engine would race the first: the interface has moved on, so
    // the old search ends without a result.
    if (searchRunning()) stopSilently();
    closeFinishedThreads();

    takeSessionState();
    clock_.setBudget(parameters, infinite, ponder);
    clock_.start();
    shared_.continueIterating = true;
    shared_.ponder = ponder;
    shared_.stop = false;

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

// The followed game first, then the opening book (not when the root moves were filtered).
Move SearchControl::knownMove(const Engine& main) {
    const Position& root = main.position;
    Move move = NO_MOVE;
    if (session_.gameScript != nullptr && (move = session_.gameScript->moveFor(root.key())) != NO_MOVE &&
        isLegalMove(root, move))
        return move;
    if (shared_.settings.rootFilter.active || !session_.ownBook) return NO_MOVE;
    // A key collision with a book position must not make the engine play an impossible move.
    if (probeBook(table_, root.key(), move) && isLegalMove(root, move)) return move;
    return NO_MOVE;
}

void SearchControl::startWorkers() {
    workerClock_.start();
    for (int i = 0; i < threadCount_ - 1; ++i) {
        Engine& worker = *workers_[i];
        worker.evaluator.material.copySettings(main_->evaluator.material);
        worker.clock = &workerClock_;
        // A worker that cannot be started only leaves the others more to do.
        workerThreads_[i].start(workerEntry, &worker, STACK_SIZE);
    }
}

void SearchControl::stopWorkers() {
    shared_.stop = true;
    NativeThread::joinAll(workerThreads_.data(), threadCount_ - 1);
    workerClock_.stop();
}

void SearchControl::searchBody() {
    Engine& main = *main_;
    main.beginSearch();
    const Move known = knownMove(main);
    bool finished = false;
    if (known != NO_MOVE) {
        main.playKnownMove(known);
        shared_.waitWhilePondering();
    } else {
        // The table leaves book mode and its old entries age.
        table_.newSearch();
        const bool parallel = threadCount_ > 1;
        if (parallel) startWorkers();
        finished = main.iterate();
        if (parallel) stopWorkers();
    }
    if (!quit && output_ != nullptr) {
        if (finished) output_->searchFinished(main);
        clock_.stop();
        const Move best = main.pvMove;
        const Move ponder = main.ponderMove;
        output_->bestMove(main, best != NO_MOVE ? &best : nullptr, ponder != NO_MOVE ? &ponder : nullptr);
    }
    // A thread cannot join itself: the next "go" or the teardown does it.
    LockGuard guard(lock_);
    if (mainThread_) {
        finished_[finishedWrite_ % RING_SIZE] = std::move(mainThread_);
        ++finishedWrite_;
    }
}

void SearchControl::stop() {
    shared_.continueIterating = false;
    shared_.ponder = false;
    shared_.stop = true;
    std::unique_ptr<NativeThread> thread;
    {
        LockGuard guard(lock_);
        thread = std::move(mainThread_);
    }
    if (thread) thread->join();
}

void SearchControl::stopSilently() {
    if (output_ == nullptr) return stop();
    const bool wasSilent = output_->isSilent();
    output_->setSilent(true);
    stop();
    output_->setSilent(wasSilent);
}

// The clock has been running since the ponder search began, so the time spent pondering counts.
void SearchControl::ponderhit() {
    shared_.ponder = false;
    if (main_->pvMove != NO_MOVE && (!shared_.continueIterating || clock_.softExceededOnPonderhit()))
        shared_.stop = true;
}

// Only called while no search runs: the workers' threads are all joined.
void SearchControl::setThreadCount(int count) {
    threadCount_ = std::clamp(count, 1, MAX_THREADS);
    for (int i = 0; i < MAX_THREADS - 1; ++i) {
        if (i >= threadCount_ - 1) {
            workers_[i].reset();
        } else if (!workers_[i]) {
            workers_[i].reset(new (std::nothrow) Engine(shared_, i + 1));
            if (!workers_[i]) {  // no memory for more workers: search with those there are
                threadCount_ = i + 1;
                return;
            }
        }
    }
}

bool SearchControl::searchRunning() {
    LockGuard guard(lock_);
    return mainThread_ != nullptr;
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
