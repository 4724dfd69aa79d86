#include <algorithm>
#include <cstdint>

#include "search/history.h"
#include "search/search_constants.h"

namespace zelmora {

void HistoryTable::reset() {
    increment = HISTORY_START_INCREMENT;
    limit = HISTORY_START_INCREMENT;
    shift = 0;
    updateCount = 0;
    for (std::uint32_t& c : counters) c = 0;
}

// Adds about depth² increments, in growing steps. Readers see counter >> shift, so the limit and
// shift keep the visible values in 16 bits; far-grown counters are all scaled down together.
void HistoryTable::update(Move m, int depthInPlies) {
    std::uint32_t& counter = counters[m & 0xFFF];
    std::int16_t budget = std::int16_t(depthInPlies * depthInPlies);
    int step = 1;
    do {
        ++updateCount;
        const std::uint32_t old = counter;
        counter = old + increment;
        step += (increment >= old ? 1 : 0) + (step > 1 ? 1 : 0);
        while (counter > limit) {
            limit *= 2;
            ++shift;
        }
        if (counter > HISTORY_RESCALE_AT) {
            for (std::uint32_t& c : counters) c >>= HISTORY_RESCALE_SHIFT;
            increment = std::max(increment >> HISTORY_RESCALE_SHIFT, HISTORY_MIN_INCREMENT);
            limit >>= HISTORY_RESCALE_SHIFT;
            shift -= HISTORY_RESCALE_SHIFT;
        }
        budget = std::int16_t(budget - step);
    } while (budget >= 0);
}

// Each later update weighs a sixteenth more, which ages the older ones without touching them.
void HistoryTable::age() {
    if (updateCount > 1) {
        increment += increment / HISTORY_AGING_DIVISOR;
        updateCount = 0;
    }
}

void KillerSlots::reset() {
    for (KillerGroup& g : group) g = KillerGroup{NO_MOVE, KILLER_EMPTY_SCORE, NO_MOVE, KILLER_EMPTY_SCORE};
}

void updateKillers(KillerGroup& cur, const KillerGroup& grand, Move m, int depth, bool afterNull, bool mate) {
    if (m == cur.killer1 || m == grand.killer1 || m == grand.killer2) return;
    const std::int16_t s = std::int16_t((KILLER_DEPTH_WEIGHT + KILLER_MATE_DEPTH_WEIGHT * mate) * depth +
                                        KILLER_AFTER_NULL_BONUS * afterNull);
    // Both slots taken: the new move only competes for the second one.
    if (m != cur.killer2 && cur.score1 >= 0 && cur.score2 >= 0) {
        if (s > cur.score2) {
            cur.killer2 = m;
            cur.score2 = s;
        }
        return;
    }
    cur.killer2 = cur.killer1;
    cur.score2 = std::int16_t(cur.score2 + depth - cur.score1);
    cur.killer1 = m;
    cur.score1 = s;
}

}  // namespace zelmora
