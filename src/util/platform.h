#pragma once
// The few operating-system services the engine needs beyond the standard library.

#include <cstddef>
#include <cstdint>
#include <string>

#include <pthread.h>

namespace zelmora {

// Wall-clock time in milliseconds. Only differences are meaningful.
std::int64_t systemMilliseconds();

// A joinable thread with a chosen stack size (the search recurses deeply).
class NativeThread {
public:
    using Entry = void (*)(void* argument);

    NativeThread() = default;
    NativeThread(const NativeThread&) = delete;
    NativeThread& operator=(const NativeThread&) = delete;
    ~NativeThread() { join(); }

    // False when the thread could not be created (or one is still running).
    bool start(Entry entry, void* argument, std::size_t stackSize);
    // Waits for the thread to end; returns at once when none was started.
    void join();
    bool running() const { return started_; }

private:
    pthread_t handle_{};
    bool started_ = false;
};

// Lowers the whole process to the weakest scheduling priority (long batch jobs).
void setIdlePriority();

// Directory of the running executable, without a trailing slash; empty when unknown.
std::string programDirectory();

}  // namespace zelmora
