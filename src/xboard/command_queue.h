#pragma once
// Carries UCI command lines, in order, from the xboard side to a worker thread that runs them.
// The xboard side never waits for a command to finish, so a search may report back (and take
// the xboard lock) while its "go" is still being run.

#include <memory>

#include "util/platform.h"

namespace zelmora {

class CommandQueue {
public:
    static constexpr int BUFFERS = 64;
    static constexpr int LARGE_BUFFERS = 2;  // for long "position ... moves" lines
    static constexpr int LARGE_SIZE = 75000;
    static constexpr int SMALL_SIZE = 1000;
    static constexpr int ROOM_FOR_ONE_COMMAND = 16;  // "new" in analyze mode queues 12 lines
    static constexpr int STALL_LIMIT_MS = 5000;

    using Handler = void (*)(void* context, const char* line);

    // Starts the worker, which passes each line to handler(context, line).
    CommandQueue(Handler handler, void* context);
    // Lines still waiting are dropped; the one being run is finished first.
    ~CommandQueue();
    CommandQueue(const CommandQueue&) = delete;
    CommandQueue& operator=(const CommandQueue&) = delete;

    // False once terminating, when the text fits no buffer, or when every buffer is taken.
    bool enqueue(const char* text);
    // Returns when every queued line has been run (or the queue is terminating). One waiter at a time.
    void waitUntilIdle();
    // Returns when the lines of one more xboard command surely fit. A flood of input then waits
    // for the worker instead of losing lines; a worker stuck on one line for STALL_LIMIT_MS
    // lets the caller go on (and find the queue full).
    void waitForRoom();
    void terminate();

private:
    struct Buffer {
        int capacity = 0;
        bool inUse = false;
        std::unique_ptr<char[]> storage;
    };

    static void workerEntry(void* self);
    void workerLoop();
    bool hasRoom() const;

    Handler handler_;
    void* context_;
    Buffer buffers_[BUFFERS];
    int ring_[BUFFERS] = {};
    unsigned writeIndex_ = 0;
    unsigned readIndex_ = 0;
    int busy_ = 0;  // buffers in use, including the one being run
    unsigned finished_ = 0;  // lines run so far
    bool terminating_ = false;
    Lock lock_;
    Event wake_;  // a line arrived, or termination
    Event idle_;  // the last line in hand was finished, or termination
    NativeThread worker_;
};

}  // namespace zelmora
