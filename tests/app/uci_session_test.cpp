// UCI conversations with the built engine, line by line through pipes, as a GUI holds them.

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace zelmora {
namespace {

class UciSession : public ::testing::Test {
protected:
    void start(const char* argument = nullptr) {
        int toEngine[2], fromEngine[2];
        ASSERT_EQ(pipe(toEngine), 0);
        ASSERT_EQ(pipe(fromEngine), 0);
        pid_ = fork();
        ASSERT_GE(pid_, 0);
        if (pid_ == 0) {
            dup2(toEngine[0], 0);
            dup2(fromEngine[1], 1);
            close(toEngine[1]);
            close(fromEngine[0]);
            execl(ZELMORA_BINARY, ZELMORA_BINARY, argument, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toEngine[0]);
        close(fromEngine[1]);
        in_ = toEngine[1];
        out_ = fromEngine[0];
        send("uci");
        ASSERT_TRUE(waitFor("uciok"));
    }

    void TearDown() override {
        if (pid_ <= 0) return;
        send("quit");
        close(in_);
        int status = 0;
        for (int i = 0; i < 200 && waitpid(pid_, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (waitpid(pid_, &status, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            ADD_FAILURE() << "engine did not end after quit";
        }
        close(out_);
    }

    void send(const std::string& line) {
        const std::string text = line + "\n";
        ASSERT_EQ(write(in_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // Reads until a line that starts with prefix, or false after the time-out; the lines read
    // are kept in seen_.
    bool waitFor(const std::string& prefix, int milliseconds = 60000, std::string* found = nullptr) {
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
        for (std::string line;;) {
            pollfd fd{out_, POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            char c = 0;
            if (left <= 0 || poll(&fd, 1, static_cast<int>(left)) <= 0 || read(out_, &c, 1) != 1) return false;
            if (c != '\n') {
                line += c;
                continue;
            }
            seen_.push_back(line);
            if (line.rfind(prefix, 0) == 0) {
                if (found) *found = line;
                return true;
            }
            line.clear();
        }
    }

    std::vector<std::string> seen_;
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
};

TEST_F(UciSession, MateInOneAtDepthOne) {
    start();
    send("position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1");
    send("go depth 1");
    std::string best;
    ASSERT_TRUE(waitFor("bestmove", 60000, &best));
    EXPECT_EQ(best, "bestmove d1d8");
    bool mateReported = false;
    for (const std::string& line : seen_) mateReported |= line.find("score mate 1") != std::string::npos;
    EXPECT_TRUE(mateReported);
}

TEST_F(UciSession, StopEndsAnInfiniteSearchWithABestMove) {
    start();
    send("setoption name OwnBook value false");  // the book would answer at once
    send("position startpos moves e2e4");
    send("go infinite");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    send("isready");
    ASSERT_TRUE(waitFor("readyok"));  // answered while searching
    send("stop");
    std::string best;
    ASSERT_TRUE(waitFor("bestmove", 10000, &best));
    EXPECT_GT(best.size(), 12u);
}

TEST_F(UciSession, PonderhitTurnsThePonderSearchIntoTheRealOne) {
    start();
    send("position startpos moves e2e4 e7e5");
    send("go ponder wtime 3000 btime 3000");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    send("ponderhit");
    ASSERT_TRUE(waitFor("bestmove", 20000));
}

TEST_F(UciSession, NoOutputSilencesEverythingAndBlockingWaits) {
    start("VersteckteOptionen");
    seen_.clear();
    send("setoption name NoOutput value true");
    send("go depth 2");
    send("isready");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    send("stop");
    send("setoption name NoOutput value false");
    send("setoption name blocking value true");
    send("go depth 3");
    send("isready");
    ASSERT_TRUE(waitFor("readyok"));
    // Nothing came from the silent search, and the blocking search ended before readyok.
    ASSERT_GE(seen_.size(), 2u);
    EXPECT_EQ(seen_.front().rfind("info", 0), 0u) << seen_.front();
    EXPECT_EQ(seen_[seen_.size() - 2].rfind("bestmove", 0), 0u) << seen_[seen_.size() - 2];
}

}  // namespace
}  // namespace zelmora
