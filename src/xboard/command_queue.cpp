#include "xboard/command_queue.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "control/search_control.h"

namespace zelmora {

CommandQueue::CommandQueue(Handler handler, void* context) : handler_(handler), context_(context) {
    for (int i = 0; i < BUFFERS; ++i) {
        const int size = i < LARGE_BUFFERS ? LARGE_SIZE : SMALL_SIZE;
        buffers_[i].storage.reset(new (std::nothrow) char[size]);
        buffers_[i].capacity = buffers_[i].storage ? size : 0;
    }
    // The worker runs "go" in blocking mode as a whole search, so it needs a search thread's stack.
    if (!wake_.valid() || !idle_.valid() || !worker_.start(workerEntry, this, SearchControl::STACK_SIZE))
        terminating_ = true;
}

CommandQueue::~CommandQueue() { terminate(); }

void CommandQueue::terminate() {
    {
        LockGuard guard(lock_);
        terminating_ = true;
    }
    wake_.signal();
    idle_.signal();
    worker_.join();
}

bool CommandQueue::enqueue(const char* text) {
    const int length = static_cast<int>(std::strlen(text));
    {
        LockGuard guard(lock_);
        if (terminating_) return false;
        // The highest free buffer that fits keeps the large ones for long lines.
        int chosen = -1;
        for (int i = BUFFERS - 1; i >= 0 && chosen < 0; --i) {
            if (!buffers_[i].inUse && buffers_[i].capacity > length) chosen = i;
        }
        if (chosen < 0) return false;
        Buffer& buffer = buffers_[chosen];
        buffer.inUse = true;
        std::memcpy(buffer.storage.get(), text, static_cast<std::size_t>(length) + 1);
        ring_[writeIndex_ % BUFFERS] = chosen;
        ++writeIndex_;
        ++busy_;
    }
    wake_.signal();
    return true;
}

void CommandQueue::waitUntilIdle() {
    for (;;) {
        {
            LockGuard guard(lock_);
            if (busy_ == 0 || terminating_) return;
        }
        // A signal left over from an earlier line only costs one more look.
        idle_.wait();
    }
}

bool CommandQueue::hasRoom() const {
    int freeSmall = 0;
    for (int i = LARGE_BUFFERS; i < BUFFERS; ++i) freeSmall += buffers_[i].inUse ? 0 : 1;
    // Both large buffers: the command's own position line and one from a search reporting back.
    for (int i = 0; i < LARGE_BUFFERS; ++i) {
        if (buffers_[i].inUse) return false;
    }
    return freeSmall >= ROOM_FOR_ONE_COMMAND;
}

void CommandQueue::waitForRoom() {
    constexpr int POLL_MS = 2;
    unsigned lastFinished = 0;
    std::int64_t lastProgress = systemMilliseconds();
    for (;;) {
        {
            LockGuard guard(lock_);
            if (terminating_ || hasRoom()) return;
            if (finished_ != lastFinished) {
                lastFinished = finished_;
                lastProgress = systemMilliseconds();
            }
        }
        if (systemMilliseconds() - lastProgress >= STALL_LIMIT_MS) return;
        // Only a flood gets here, and the worker frees a buffer within milliseconds.
        sleepMilliseconds(POLL_MS);
    }
}

void CommandQueue::workerEntry(void* self) { static_cast<CommandQueue*>(self)->workerLoop(); }

void CommandQueue::workerLoop() {
    for (;;) {
        wake_.wait();
        // One signal may stand for several lines: run until the ring is empty.
        for (;;) {
            int index;
            {
                LockGuard guard(lock_);
                if (terminating_) return;
                if (readIndex_ == writeIndex_) break;
                index = ring_[readIndex_ % BUFFERS];
                ++readIndex_;
            }
            handler_(context_, buffers_[index].storage.get());
            bool idle;
            {
                LockGuard guard(lock_);
                buffers_[index].inUse = false;
                ++finished_;
                idle = --busy_ == 0;
            }
            if (idle) idle_.signal();
        }
    }
}

}  // namespace zelmora
