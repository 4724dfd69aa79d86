// The platform layer on POSIX threads and Linux.

#include "util/platform.h"

#include <chrono>
#include <climits>
#include <cstring>
#include <new>

#include <pthread.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

namespace zelmora {

std::int64_t systemMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void sleepMilliseconds(int milliseconds) {
    timespec wait{milliseconds / 1000, long(milliseconds % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0) {
    }
}

namespace {

static_assert(sizeof(pthread_mutex_t) <= Lock::NATIVE_BYTES && alignof(pthread_mutex_t) <= 8);

pthread_mutex_t* mutexOf(unsigned char* storage) { return std::launder(reinterpret_cast<pthread_mutex_t*>(storage)); }

struct EventState {
    pthread_mutex_t mutex;
    pthread_cond_t condition;
    bool signalled;
};
static_assert(sizeof(EventState) <= Event::NATIVE_BYTES && alignof(EventState) <= 8);

EventState* eventOf(unsigned char* storage) { return std::launder(reinterpret_cast<EventState*>(storage)); }

}  // namespace

Lock::Lock() { pthread_mutex_init(new (native_) pthread_mutex_t, nullptr); }
Lock::~Lock() { pthread_mutex_destroy(mutexOf(native_)); }
void Lock::lock() { pthread_mutex_lock(mutexOf(native_)); }
void Lock::unlock() { pthread_mutex_unlock(mutexOf(native_)); }

Event::Event() {
    EventState* state = new (native_) EventState;
    state->signalled = false;
    if (pthread_mutex_init(&state->mutex, nullptr) != 0) return;
    if (pthread_cond_init(&state->condition, nullptr) != 0) {
        pthread_mutex_destroy(&state->mutex);
        return;
    }
    valid_ = true;
}

Event::~Event() {
    if (!valid_) return;
    EventState* state = eventOf(native_);
    pthread_cond_destroy(&state->condition);
    pthread_mutex_destroy(&state->mutex);
}

void Event::signal() {
    if (!valid_) return;
    EventState* state = eventOf(native_);
    pthread_mutex_lock(&state->mutex);
    state->signalled = true;
    pthread_cond_signal(&state->condition);
    pthread_mutex_unlock(&state->mutex);
}

void Event::wait() {
    if (!valid_) return;
    EventState* state = eventOf(native_);
    pthread_mutex_lock(&state->mutex);
    while (!state->signalled) pthread_cond_wait(&state->condition, &state->mutex);
    state->signalled = false;
    pthread_mutex_unlock(&state->mutex);
}

struct NativeThreadAccess {
    static void* run(void* raw) {
        auto* thread = static_cast<NativeThread*>(raw);
        thread->entry_(thread->argument_);
        return nullptr;
    }
};

namespace {

static_assert(sizeof(pthread_t) <= sizeof(std::uintptr_t));

pthread_t threadOf(std::uintptr_t handle) {
    pthread_t thread;
    std::memcpy(&thread, &handle, sizeof thread);
    return thread;
}

}  // namespace

bool NativeThread::start(Entry entry, void* argument, std::size_t stackSize) {
    if (started_) return false;
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    if (stackSize < static_cast<std::size_t>(PTHREAD_STACK_MIN)) stackSize = PTHREAD_STACK_MIN;
    pthread_attr_setstacksize(&attributes, stackSize);
    entry_ = entry;
    argument_ = argument;
    pthread_t thread;
    started_ = pthread_create(&thread, &attributes, NativeThreadAccess::run, this) == 0;
    pthread_attr_destroy(&attributes);
    if (started_) {
        handle_ = 0;
        std::memcpy(&handle_, &thread, sizeof thread);
    }
    return started_;
}

void NativeThread::join() {
    if (!started_) return;
    pthread_join(threadOf(handle_), nullptr);
    started_ = false;
}

void NativeThread::joinAll(NativeThread* threads, int count) {
    for (int i = 0; i < count; ++i) threads[i].join();
}

void setIdlePriority() {
    // Failure only means we keep the current priority.
    (void)setpriority(PRIO_PROCESS, 0, 19);
}

std::string programDirectory() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return std::string();
    std::string result(path, static_cast<std::size_t>(length));
    std::size_t slash = result.rfind('/');
    if (slash == std::string::npos) return std::string();
    result.resize(slash == 0 ? 1 : slash);
    return result;
}

std::string besideProgram(const char* fileName) {
    const std::string directory = programDirectory();
    if (directory.empty()) return directory;
    return directory + (directory.back() == '/' ? "" : "/") + fileName;
}

}  // namespace zelmora
