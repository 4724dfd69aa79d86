#include "control/search_control.h"

#include "search/engine.h"

namespace zelmora {

SearchControl::SearchControl(Engine* engine, EngineOutput* output, TimeLimits* clock)
    : engine_(engine), output_(output), clock_(clock) {
    workerClock_.maxDepth = 100;
}

SearchControl::~SearchControl() { stop(); }

bool SearchControl::go(const GoParameters&, bool, bool) { return false; }

void SearchControl::stop() {
    engine_->continueIterating.store(false, std::memory_order_relaxed);
    engine_->ponder.store(false, std::memory_order_relaxed);
    engine_->stop.store(true, std::memory_order_relaxed);
}

}  // namespace zelmora
