#include "control/time_limits.h"

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

std::int64_t SearchLimits::elapsed() const { return systemMilliseconds() - startTime; }

}  // namespace zelmora
