#pragma once
// The operating-system services the engine needs beyond the standard library: clock, sleep,
// locks, events, threads with a chosen stack, process priority and the program's directory.
// The build links one back end (platform_posix.cpp or platform_windows.cpp); nothing outside
// src/util/ depends on the system. The native objects live in fixed storage here, so that this
// header pulls in no system header; each back end checks that its objects fit.

#include <cstddef>
#include <cstdint>
#include <string>

namespace zelmora {

// Wall-clock time in milliseconds. Only differences are meaningful (the epoch is the system's).
std::int64_t systemMilliseconds();

void sleepMilliseconds(int milliseconds);

// Mutual exclusion between threads. Not to be taken twice by the same thread.
class Lock {
public:
    Lock();
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    void lock();
    void unlock();

    static constexpr std::size_t NATIVE_BYTES = 64;

private:
    alignas(8) unsigned char native_[NATIVE_BYTES];
};

// Holds a lock for the lifetime of the guard.
class LockGuard {
public:
    explicit LockGuard(Lock& lock) : lock_(lock) { lock_.lock(); }
    ~LockGuard() { lock_.unlock(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    Lock& lock_;
};

// An auto-reset event: signal() lets exactly one wait() through, the current or the next one.
// Signals do not add up: two signals before a wait release it once.
class Event {
public:
    Event();
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    // False when the system refused the event; signal and wait then do nothing.
    bool valid() const { return valid_; }
    void signal();
    void wait();

    static constexpr std::size_t NATIVE_BYTES = 128;

private:
    alignas(8) unsigned char native_[NATIVE_BYTES];
    bool valid_ = false;
};

// A joinable thread with a chosen stack size (the search recurses deeply).
class NativeThread {
public:
    using Entry = void (*)(void* argument);

    NativeThread() = default;
    NativeThread(const NativeThread&) = delete;
    NativeThread& operator=(const NativeThread&) = delete;
    ~NativeThread() { join(); }

    // False when the thread could not be created (or one is still running). The object must
    // stay where it is until the thread has been joined.
    bool start(Entry entry, void* argument, std::size_t stackSize);
    // Waits for the thread to end; returns at once when none was started.
    void join();
    bool running() const { return started_; }

    // Waits for all the started threads among the given ones together.
    static void joinAll(NativeThread* threads, int count);

private:
    friend struct NativeThreadAccess;  // the back end's thread entry

    Entry entry_ = nullptr;
    void* argument_ = nullptr;
    std::uintptr_t handle_ = 0;
    bool started_ = false;
};

// Lowers the whole process to the weakest scheduling priority (long batch jobs).
void setIdlePriority();

// Directory of the running program, without a trailing separator; empty when unknown.
std::string programDirectory();

// The path of a file of that name in the program's directory; empty when that is unknown.
std::string besideProgram(const char* fileName);

}  // namespace zelmora
