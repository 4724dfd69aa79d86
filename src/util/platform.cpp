#include "util/platform.h"

#include <chrono>
#include <climits>
#include <new>

#include <sys/resource.h>
#include <unistd.h>

namespace zelmora {

std::int64_t systemMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

namespace {

struct Trampoline {
    NativeThread::Entry entry;
    void* argument;
};

void* runTrampoline(void* raw) {
    Trampoline t = *static_cast<Trampoline*>(raw);
    delete static_cast<Trampoline*>(raw);
    t.entry(t.argument);
    return nullptr;
}

}  // namespace

bool NativeThread::start(Entry entry, void* argument, std::size_t stackSize) {
    if (started_) return false;
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    if (stackSize < static_cast<std::size_t>(PTHREAD_STACK_MIN)) stackSize = PTHREAD_STACK_MIN;
    pthread_attr_setstacksize(&attributes, stackSize);
    auto* trampoline = new (std::nothrow) Trampoline{entry, argument};
    bool ok = trampoline != nullptr && pthread_create(&handle_, &attributes, runTrampoline, trampoline) == 0;
    pthread_attr_destroy(&attributes);
    if (!ok) delete trampoline;
    started_ = ok;
    return ok;
}

void NativeThread::join() {
    if (!started_) return;
    pthread_join(handle_, nullptr);
    started_ = false;
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

}  // namespace zelmora
