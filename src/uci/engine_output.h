#pragma once
// The output channel: every line the engine writes passes through one of these.

#include <atomic>
#include <cstdio>

#include "search/engine_listener.h"
#include "util/platform.h"

namespace zelmora {

class EngineOutput : public EngineListener {
public:
    explicit EngineOutput(std::FILE* stream = stdout) : stream_(stream) {}

    virtual void bestMove(const Move* best, const Move* ponder) = 0;
    virtual void searchFinished() = 0;
    virtual void setRootPosition() = 0;

    bool isSilent() const { return silent_.load(std::memory_order_relaxed); }
    void setSilent(bool on) { silent_.store(on, std::memory_order_relaxed); }
    bool isDebug() const { return debug_.load(std::memory_order_relaxed); }
    void setDebug(bool on) { debug_.store(on, std::memory_order_relaxed); }

    // Writes the text and a line end as one unit, unless output is switched off.
    virtual void printLine(const char* text) { writeLine(text); }

protected:
    // With evenWhenSilent the line is written although output is switched off.
    void writeLine(const char* text, bool evenWhenSilent = false);

private:
    Lock lock_;
    std::atomic<bool> debug_{false};
    std::atomic<bool> silent_{false};
    std::FILE* stream_;
};

}  // namespace zelmora
