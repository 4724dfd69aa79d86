#include "book/book_probe.h"

#include <algorithm>

#include "search/transposition_table.h"

namespace zelmora {

namespace {

std::uint64_t keyOf(const TTEntry& e) { return std::uint64_t(e.keyHigh) << 32 | e.keyLow; }

}  // namespace

bool probeBook(TranspositionTable& table, std::uint64_t key, Move& move, RandomGenerator& random) {
    const std::uint32_t count = table.bookCount;
    if (count == 0) return false;
    const TTEntry* first = table.entries();
    const TTEntry* last = first + count;
    const TTEntry* group = std::lower_bound(first, last, key, [](const TTEntry& e, std::uint64_t k) { return keyOf(e) < k; });
    std::int64_t sum = 0;
    for (const TTEntry* e = group; e != last && keyOf(*e) == key; ++e) sum += e->score;
    if (sum < 1) return false;

    // r in [0, sum): the first record takes r up to its weight inclusive, each later one the next
    // weight-many values. Weights sum in 64 bits, so many large weights cannot overflow.
    std::int64_t r = std::int64_t(random.next() % std::uint64_t(sum));
    const TTEntry* chosen = group;
    while (r > chosen->score && chosen + 1 != last && keyOf(chosen[1]) == key) {
        r -= chosen->score;
        ++chosen;
    }
    if (shortMove(chosen->move) == 0) return false;
    move = chosen->move;
    return true;
}

}  // namespace zelmora
