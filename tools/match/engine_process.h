#pragma once
// A child process spoken to through pipes: lines out on its standard input, lines in from its
// standard output, every wait bounded by a deadline so that a silent or dead child never blocks us.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>

namespace zelmora::match {

using SteadyClock = std::chrono::steady_clock;
using TimePoint = SteadyClock::time_point;

class EngineProcess {
public:
    enum class ReadStatus { LINE, TIMEOUT, CLOSED };

    EngineProcess() = default;
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;
    ~EngineProcess() { kill(); }

    // Runs the command line through /bin/sh. The child's standard error goes to errorPath
    // (appended) or, when that is empty, to /dev/null. False with a reason when the fork fails.
    bool start(const std::string& command, const std::string& errorPath, std::string& error);

    bool started() const { return pid_ > 0; }
    // True when the child has not exited yet (reaps it if it has).
    bool alive();

    // Writes text plus a newline; false when the child is gone or does not take the text in time.
    bool writeLine(const std::string& text, TimePoint deadline);
    // Next complete line without its line end; TIMEOUT at the deadline, CLOSED once the child
    // has closed its output and every buffered line was read.
    ReadStatus readLine(std::string& line, TimePoint deadline);
    // Like readLine, but only takes what has already arrived: TIMEOUT means no complete line yet.
    ReadStatus readAvailableLine(std::string& line);
    // Sleeps until one of the children (b may be null) has output or closed it, or the deadline.
    static void waitForOutput(EngineProcess& a, EngineProcess* b, TimePoint deadline);

    // Closes the child's input, waits up to patience for it to leave, then kills it.
    void stop(std::chrono::milliseconds patience);
    void kill();
    // How the child ended ("exit code 1", "signal 11"), or "running".
    std::string exitDescription();

    pid_t pid() const { return pid_; }
    // Processor time the child has used so far (user and system, all threads), -1 when unknown.
    std::int64_t cpuTimeUs() const;

private:
    void closePipes();
    bool reap(bool block);
    // A line can be taken without reading the pipe: a complete one is buffered, or the output ended.
    bool lineWaiting() const;

    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    bool endOfOutput_ = false;
    bool reaped_ = false;
    int waitStatus_ = 0;
    std::string buffer_;
};

}  // namespace zelmora::match
