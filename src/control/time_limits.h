#pragma once
// The clocks of a search: when it started, how long it ran, and how far it may go.

#include <cstdint>

namespace zelmora {

// Larger than any time or node count that occurs.
constexpr std::int64_t UNLIMITED_TIME = 0x007F0000FFFF0000LL;
constexpr std::int64_t UNLIMITED_NODES = 0x7FFF0000FFFF0000LL;

class SearchLimits {
public:
    std::int64_t startTime = 0;    // milliseconds
    std::int64_t accumulated = 0;  // running time summed by stop()
    std::int16_t maxDepth = 6;
    bool running = false;

    virtual ~SearchLimits() = default;

    virtual void reset();
    virtual void start();
    virtual void stop();
    // Milliseconds since the clock was started.
    std::int64_t elapsed() const;
};

class TimeLimits : public SearchLimits {
public:
    std::int64_t target = UNLIMITED_TIME;
    double movesFactor = 10.0;
    std::int64_t soft = UNLIMITED_TIME;
    std::int64_t hard = UNLIMITED_TIME;
    std::int64_t nodeLimit = UNLIMITED_NODES;
    // The announced default of the Ponder option is true, so the budget starts out assuming it.
    bool ponderOption = true;

    void setPonderOption(bool on) { ponderOption = on; }
};

}  // namespace zelmora
