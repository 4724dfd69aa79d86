#pragma once
// The output channel: every line the engine writes passes through one of these. The search
// reports through the listener part; the search control hands over the result.

#include <atomic>
#include <cstdio>

#include "board/position.h"
#include "search/engine_listener.h"
#include "util/platform.h"

namespace zelmora {

class EngineOutput : public EngineListener {
public:
    explicit EngineOutput(std::FILE* stream = stdout) : stream_(stream) {}

    // The main engine's move (and the reply it expects), each null when there is none.
    virtual void bestMove(const Engine& engine, const Move* best, const Move* ponder) = 0;
    // Only for a search that ended by its own limits and did not come from the book.
    virtual void searchFinished(const Engine& engine) = 0;
    // The position of the next search: the moves of its reports are written against it.
    virtual void setRootPosition(const Position& root) = 0;

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
