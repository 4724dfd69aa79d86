#pragma once
// The questions the search asks its clock. A plain clock only measures and limits the depth;
// the game clock, which also holds a time budget, builds on it.

#include <cstdint>

namespace zelmora {

class SearchLimits {
public:
    std::int64_t startTime = 0;    // milliseconds
    std::int64_t accumulated = 0;  // running time summed by stop()
    std::int16_t maxDepth = 6;     // an iteration may start while its depth is at most this
    bool running = false;

    virtual ~SearchLimits() = default;

    virtual void reset();
    virtual void start();
    virtual void stop();
    // Asked by the search at its nodes; true means it must end now. A new best move in hand may
    // end the search earlier than without one.
    virtual bool mustStop(bool newBestInHand) const;
    // Asked between root moves; true means no further root move is begun.
    virtual bool softExceeded() const;
    virtual bool softExceededOnPonderhit() const;
    // Asked after each iteration; instability is the chance in percent that the best move changes.
    virtual bool nextIteration(std::uint64_t nodes, int depth, double instability) const;

    // Milliseconds since the clock was started.
    std::int64_t elapsed() const;
};

}  // namespace zelmora
