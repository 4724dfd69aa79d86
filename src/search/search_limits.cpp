#include "search/search_limits.h"

#include "util/platform.h"

namespace zelmora {

void SearchLimits::reset() {
    running = false;
    accumulated = 0;
}

void SearchLimits::start() {
    startTime = systemMilliseconds();
    running = true;
}

void SearchLimits::stop() {
    accumulated += systemMilliseconds() - startTime;
    running = false;
}

bool SearchLimits::mustStop(bool) const { return false; }
bool SearchLimits::softExceeded() const { return false; }
bool SearchLimits::softExceededOnPonderhit() const { return false; }
bool SearchLimits::nextIteration(std::uint64_t, int depth, double) const { return depth <= maxDepth; }

std::int64_t SearchLimits::elapsed() const { return systemMilliseconds() - startTime; }

}  // namespace zelmora
