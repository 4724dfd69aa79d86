#include "match/engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

namespace zelmora::match {

namespace {

// Output without a line end is cut into lines of this size, so that garbage cannot grow the buffer.
constexpr std::size_t LONGEST_LINE = 1 << 20;

int millisecondsUntil(TimePoint deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - SteadyClock::now()).count();
    if (left <= 0) return 0;
    return int(std::min<long long>((left + 999) / 1000, 1 << 30));
}

}  // namespace

bool EngineProcess::start(const std::string& command, const std::string& errorPath, std::string& error) {
    kill();
    int input[2], output[2];
    if (pipe2(input, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    if (pipe2(output, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        ::close(input[0]);
        ::close(input[1]);
        return false;
    }
    // Everything the child needs is prepared before the fork.
    const std::string shellCommand = "exec " + command;
    const char* errorFile = errorPath.empty() ? "/dev/null" : errorPath.c_str();
    const pid_t child = fork();
    if (child < 0) {
        error = std::string("fork: ") + std::strerror(errno);
        for (int fd : {input[0], input[1], output[0], output[1]}) ::close(fd);
        return false;
    }
    if (child == 0) {
        dup2(input[0], STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        const int errorFd = open(errorFile, O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (errorFd >= 0) dup2(errorFd, STDERR_FILENO);
        signal(SIGPIPE, SIG_DFL);
        execl("/bin/sh", "sh", "-c", shellCommand.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(input[0]);
    ::close(output[1]);
    toChild_ = input[1];
    fromChild_ = output[0];
    fcntl(toChild_, F_SETFL, fcntl(toChild_, F_GETFL) | O_NONBLOCK);
    fcntl(fromChild_, F_SETFL, fcntl(fromChild_, F_GETFL) | O_NONBLOCK);
    pid_ = child;
    reaped_ = false;
    endOfOutput_ = false;
    waitStatus_ = 0;
    buffer_.clear();
    return true;
}

bool EngineProcess::reap(bool block) {
    if (pid_ <= 0 || reaped_) return reaped_;
    int status = 0;
    pid_t r;
    do r = waitpid(pid_, &status, block ? 0 : WNOHANG);
    while (r < 0 && errno == EINTR);
    if (r == pid_ || (r < 0 && errno == ECHILD)) {
        reaped_ = true;
        waitStatus_ = r == pid_ ? status : 0;
    }
    return reaped_;
}

bool EngineProcess::alive() { return pid_ > 0 && !reap(false); }

bool EngineProcess::writeLine(const std::string& text, TimePoint deadline) {
    if (toChild_ < 0) return false;
    const std::string data = text + "\n";
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(toChild_, data.data() + done, data.size() - done);
        if (n > 0) {
            done += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;  // EPIPE: the child is gone
        pollfd p{toChild_, POLLOUT, 0};
        const int timeout = millisecondsUntil(deadline);
        if (timeout == 0) return false;
        if (poll(&p, 1, timeout) < 0 && errno != EINTR) return false;
        if (p.revents & (POLLERR | POLLHUP)) return false;
    }
    return true;
}

bool EngineProcess::lineWaiting() const {
    return endOfOutput_ || fromChild_ < 0 || buffer_.size() >= LONGEST_LINE || buffer_.find('\n') != std::string::npos;
}

EngineProcess::ReadStatus EngineProcess::readAvailableLine(std::string& line) {
    for (;;) {
        const std::size_t end = buffer_.find('\n');
        if (end != std::string::npos || buffer_.size() >= LONGEST_LINE || (endOfOutput_ && !buffer_.empty())) {
            const std::size_t cut = end != std::string::npos ? end : std::min(buffer_.size(), LONGEST_LINE);
            line.assign(buffer_, 0, cut);
            buffer_.erase(0, end != std::string::npos ? cut + 1 : cut);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return ReadStatus::LINE;
        }
        if (endOfOutput_ || fromChild_ < 0) return ReadStatus::CLOSED;

        char chunk[65536];
        const ssize_t n = ::read(fromChild_, chunk, sizeof chunk);
        if (n > 0) {
            buffer_.append(chunk, std::size_t(n));
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
            endOfOutput_ = true;
        } else if (errno != EINTR) {
            return ReadStatus::TIMEOUT;
        }
    }
}

EngineProcess::ReadStatus EngineProcess::readLine(std::string& line, TimePoint deadline) {
    for (;;) {
        // Checked first: a child that never stops talking must not keep us past the deadline.
        if (SteadyClock::now() >= deadline) return ReadStatus::TIMEOUT;
        const ReadStatus status = readAvailableLine(line);
        if (status != ReadStatus::TIMEOUT) return status;
        waitForOutput(*this, nullptr, deadline);
    }
}

void EngineProcess::waitForOutput(EngineProcess& a, EngineProcess* b, TimePoint deadline) {
    if (a.lineWaiting() || (b && b->lineWaiting())) return;
    pollfd p[2] = {{a.fromChild_, POLLIN, 0}, {b ? b->fromChild_ : -1, POLLIN, 0}};
    const int timeout = millisecondsUntil(deadline);
    if (timeout > 0) poll(p, 2, timeout);  // negative descriptors are skipped; errors show up on the next read
}

void EngineProcess::closePipes() {
    if (toChild_ >= 0) ::close(toChild_);
    if (fromChild_ >= 0) ::close(fromChild_);
    toChild_ = fromChild_ = -1;
}

void EngineProcess::stop(std::chrono::milliseconds patience) {
    if (pid_ <= 0) return;
    if (toChild_ >= 0) ::close(toChild_);
    toChild_ = -1;
    const TimePoint deadline = SteadyClock::now() + patience;
    while (!reap(false) && SteadyClock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    kill();
}

void EngineProcess::kill() {
    if (pid_ > 0 && !reap(false)) {
        ::kill(pid_, SIGKILL);
        reap(true);
    }
    closePipes();
}

std::int64_t EngineProcess::cpuTimeUs() const {
    if (pid_ <= 0 || reaped_) return -1;
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", int(pid_));
    std::FILE* f = std::fopen(path, "r");
    if (!f) return -1;
    char text[1024];
    const std::size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    text[n] = 0;
    // The fields after the command name, which is in parentheses: state is field 3, utime 14, stime 15.
    const char* p = std::strrchr(text, ')');
    if (!p) return -1;
    unsigned long long utime = 0, stime = 0;
    if (std::sscanf(p + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2) return -1;
    static const long ticks = sysconf(_SC_CLK_TCK);
    return std::int64_t((utime + stime) * 1000000ULL / std::uint64_t(ticks > 0 ? ticks : 100));
}

std::string EngineProcess::exitDescription() {
    if (pid_ <= 0) return "not started";
    if (!reap(false)) return "running";
    if (WIFSIGNALED(waitStatus_)) {
        const int sig = WTERMSIG(waitStatus_);
        return "signal " + std::to_string(sig) + " (" + strsignal(sig) + ")";
    }
    if (WIFEXITED(waitStatus_)) return "exit code " + std::to_string(WEXITSTATUS(waitStatus_));
    return "ended";
}

}  // namespace zelmora::match
