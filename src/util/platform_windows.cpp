// The platform layer on the Windows kernel and the C runtime's thread start.

#include "util/platform.h"

#include <new>

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX  // the C++ runtime may have asked for it already
#define NOMINMAX
#endif
#include <windows.h>
#include <process.h>

namespace zelmora {

namespace {

constexpr std::uint64_t FILE_TIME_UNITS_PER_MILLISECOND = 10000;  // file time counts 100 ns

static_assert(sizeof(CRITICAL_SECTION) <= Lock::NATIVE_BYTES && alignof(CRITICAL_SECTION) <= 8);
static_assert(sizeof(HANDLE) <= Event::NATIVE_BYTES);

CRITICAL_SECTION* sectionOf(unsigned char* storage) {
    return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}

HANDLE& eventOf(unsigned char* storage) { return *std::launder(reinterpret_cast<HANDLE*>(storage)); }

HANDLE handleOf(std::uintptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

std::int64_t systemMilliseconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t units = std::uint64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    return static_cast<std::int64_t>(units / FILE_TIME_UNITS_PER_MILLISECOND);
}

void sleepMilliseconds(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds < 0 ? 0 : milliseconds)); }

Lock::Lock() { InitializeCriticalSection(new (native_) CRITICAL_SECTION); }
Lock::~Lock() { DeleteCriticalSection(sectionOf(native_)); }
void Lock::lock() { EnterCriticalSection(sectionOf(native_)); }
void Lock::unlock() { LeaveCriticalSection(sectionOf(native_)); }

Event::Event() {
    HANDLE& event = *new (native_) HANDLE(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    valid_ = event != nullptr;
}

Event::~Event() {
    if (valid_) CloseHandle(eventOf(native_));
}

void Event::signal() {
    if (valid_) SetEvent(eventOf(native_));
}

void Event::wait() {
    if (valid_) WaitForSingleObject(eventOf(native_), INFINITE);
}

struct NativeThreadAccess {
    static unsigned __stdcall run(void* raw) {
        auto* thread = static_cast<NativeThread*>(raw);
        thread->entry_(thread->argument_);
        return 0;
    }
};

bool NativeThread::start(Entry entry, void* argument, std::size_t stackSize) {
    if (started_) return false;
    entry_ = entry;
    argument_ = argument;
    handle_ = _beginthreadex(nullptr, static_cast<unsigned>(stackSize), NativeThreadAccess::run, this, 0, nullptr);
    started_ = handle_ != 0;
    return started_;
}

void NativeThread::join() {
    if (!started_) return;
    WaitForSingleObject(handleOf(handle_), INFINITE);
    CloseHandle(handleOf(handle_));
    started_ = false;
}

void NativeThread::joinAll(NativeThread* threads, int count) {
    HANDLE handles[MAXIMUM_WAIT_OBJECTS];
    DWORD waiting = 0;
    for (int i = 0; i < count; ++i) {
        if (!threads[i].started_) continue;
        if (waiting == MAXIMUM_WAIT_OBJECTS) {
            threads[i].join();  // more than one wait can take
            continue;
        }
        handles[waiting++] = handleOf(threads[i].handle_);
    }
    if (waiting > 0) WaitForMultipleObjects(waiting, handles, TRUE, INFINITE);
    for (int i = 0; i < count; ++i) threads[i].join();  // ended already: only closes the handles
}

void setIdlePriority() { SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS); }

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

// The first word of the command line: the program as it was started, quoted or bare.
std::string programOfCommandLine() {
    const char* line = GetCommandLineA();
    if (line == nullptr) return std::string();
    while (*line == ' ' || *line == '\t') ++line;
    const char* end;
    if (*line == '"') {
        end = ++line;
        while (*end && *end != '"') ++end;
    } else {
        end = line;
        while (*end && *end != ' ' && *end != '\t') ++end;
    }
    return std::string(line, end);
}

std::string directoryOf(const std::string& path) {
    std::size_t cut = path.size();
    while (cut > 0 && !isSeparator(path[cut - 1])) --cut;
    if (cut == 0) return std::string();
    // A root ("C:\") or a bare drive ("C:") keeps its separator; else it is dropped.
    const bool root = cut == 1 || path[cut - 1] == ':' || (cut == 3 && path[1] == ':');
    return path.substr(0, root ? cut : cut - 1);
}

}  // namespace

std::string programDirectory() {
    std::string directory = directoryOf(programOfCommandLine());
    if (!directory.empty()) return directory;
    // Started by a bare name, found along the search path: ask for the module's file instead.
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    return directoryOf(std::string(path, length));
}

std::string besideProgram(const char* fileName) {
    const std::string directory = programDirectory();
    if (directory.empty()) return directory;
    return directory + (isSeparator(directory.back()) ? "" : "\\") + fileName;
}

}  // namespace zelmora
