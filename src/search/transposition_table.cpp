#include "search/transposition_table.h"

#include <algorithm>
#include <cstring>

#include "search/score.h"

namespace zelmora {

namespace {

// Entries are read and written by all threads without locks. Relaxed single-field accesses cost
// nothing over plain ones and keep the races defined; a torn entry is caught by the key check.
template <class T>
T get(T& field) {
    return std::atomic_ref<T>(field).load(std::memory_order_relaxed);
}
template <class T>
void put(T& field, T value) {
    std::atomic_ref<T>(field).store(value, std::memory_order_relaxed);
}

constexpr std::size_t ENTRY_BYTES = sizeof(TTEntry);
constexpr std::size_t MIN_SLOTS = 500;
constexpr std::size_t MIN_BYTES = MIN_SLOTS * ENTRY_BYTES;
// Key low is 32 bits, so more slots could never be addressed.
constexpr std::size_t MAX_SLOTS = 0xFFFFFFF0u;

// Mate scores are kept relative to the storing node so that they stay right at any ply.
int toTable(int score, int ply) {
    if (score <= -MATE_THRESHOLD) return score - ply;
    if (score >= MATE_THRESHOLD) return score + ply;
    return score;
}
int fromTable(int score, int ply) {
    if (score <= -MATE_THRESHOLD) return score + ply;
    if (score >= MATE_THRESHOLD) return score - ply;
    return score;
}

// Deeper first; equally deep, the one from nearer the principal variation (smaller count).
bool moreValuable(TTEntry& a, TTEntry& b) {
    const int da = get(a.depthWord), db = get(b.depthWord);
    return da > db || (da == db && get(a.count) < get(b.count));
}

}  // namespace

TranspositionTable::TranspositionTable(std::size_t bytes) : memory_(nullptr, LargeMemoryDeleter{0}) {
    if (resize(bytes) || resize(0)) return;
    entries_ = spare_;
    slots_ = 1;
    clear();
}

bool TranspositionTable::allocate(std::size_t bytes) {
    const std::size_t count = std::min(std::max(bytes / ENTRY_BYTES, MIN_SLOTS), MAX_SLOTS);
    LargeMemory memory = allocateLargeMemory(count * ENTRY_BYTES);
    if (!memory) return false;
    memory_ = std::move(memory);
    entries_ = static_cast<TTEntry*>(memory_.get());
    slots_ = std::uint32_t(count - 2);  // the last bucket reaches two entries further
    return true;
}

// The old array is only given up once the new one exists, so a failed resize keeps a usable table.
bool TranspositionTable::resize(std::size_t bytes) {
    for (;;) {
        if (allocate(bytes)) {
            resetCounters();  // fresh pages come zero-filled: nothing to wipe
            return true;
        }
        bytes -= bytes / 16;
        if (bytes <= MIN_BYTES) return false;
    }
}

// "Clear Hash" may arrive while threads search: word-wise relaxed stores keep that defined and
// run at the speed of a memset.
void TranspositionTable::clear() {
    static_assert(ENTRY_BYTES % sizeof(std::uint64_t) == 0 && alignof(TTEntry) >= 8);
    std::uint64_t* word = reinterpret_cast<std::uint64_t*>(entries_);
    const std::size_t words = (std::size_t(slots_) + 2) * ENTRY_BYTES / sizeof(std::uint64_t);
    for (std::size_t i = 0; i < words; ++i) put(word[i], std::uint64_t(0));
    resetCounters();
}

void TranspositionTable::resetCounters() {
    age_.store(1, std::memory_order_relaxed);
    used_.store(0, std::memory_order_relaxed);
    bookCount = 0;
}

void TranspositionTable::newSearch() {
    age_.store(std::uint16_t(age_.load(std::memory_order_relaxed) + 1), std::memory_order_relaxed);
    used_.store(0, std::memory_order_relaxed);
    bookCount = 0;
}

bool TranspositionTable::probe(std::uint64_t key, int ply, Move& move, int& score, int& count, int& depthWord) {
    const std::uint32_t low = std::uint32_t(key), high = std::uint32_t(key >> 32);
    const std::uint16_t age = age_.load(std::memory_order_relaxed);
    TTEntry* e = bucketOf(low);
    for (int j = 0; j < 3; ++j, ++e) {
        if (get(e->keyLow) != low || get(e->keyHigh) != high) continue;
        if (get(e->age) != age) {
            put(e->age, age);
            countUsed();
        }
        move = get(e->move);
        score = fromTable(get(e->score), ply);
        count = get(e->count);
        depthWord = get(e->depthWord);
        return true;
    }
    return false;
}

void TranspositionTable::store(std::uint64_t key, Move move, int score, int depthWord, int ply, int count) {
    const std::uint32_t low = std::uint32_t(key), high = std::uint32_t(key >> 32);
    const std::uint16_t age = age_.load(std::memory_order_relaxed);
    const std::int16_t newDepthWord = std::int16_t(depthWord), newCount = std::int16_t(count);
    score = toTable(score, ply);
    TTEntry* bucket = bucketOf(low);

    for (int j = 0; j < 3; ++j) {
        TTEntry& e = bucket[j];
        if (get(e.keyLow) != low || get(e.keyHigh) != high) continue;
        if (get(e.age) != age) {
            put(e.age, age);
            countUsed();
        }
        const std::int16_t oldDepthWord = get(e.depthWord);
        if (oldDepthWord > newDepthWord || (oldDepthWord == newDepthWord && get(e.count) < newCount)) return;
        put(e.move, move);
        put(e.score, std::int32_t(score));
        put(e.count, newCount);
        put(e.depthWord, newDepthWord);
        return;
    }

    TTEntry* victim = nullptr;
    for (int j = 0; j < 3 && !victim; ++j)
        if (get(bucket[j].age) != age) victim = &bucket[j];
    if (!victim) {
        victim = &bucket[2];
        if (moreValuable(*victim, bucket[1])) victim = &bucket[1];
        if (moreValuable(*victim, bucket[0])) victim = &bucket[0];
    }
    const bool current = get(victim->age) == age;
    if (current && get(victim->depthWord) >= newDepthWord + 64) return;  // a ply or more deeper
    put(victim->keyLow, low);
    put(victim->keyHigh, high);
    put(victim->move, move);
    put(victim->score, std::int32_t(score));
    put(victim->count, newCount);
    put(victim->depthWord, newDepthWord);
    put(victim->age, age);
    if (!current) countUsed();
}

// Only the first two entries of the bucket: entry i+2 is left alone.
void TranspositionTable::remove(std::uint64_t key) {
    const std::uint32_t low = std::uint32_t(key), high = std::uint32_t(key >> 32);
    const std::uint16_t age = age_.load(std::memory_order_relaxed);
    TTEntry* e = bucketOf(low);
    for (int j = 0; j < 2; ++j, ++e) {
        if (get(e->keyLow) != low || get(e->keyHigh) != high) continue;
        const std::uint32_t used = used_.load(std::memory_order_relaxed);
        if (get(e->age) == age && used > 0) used_.store(used - 1, std::memory_order_relaxed);
        put(e->age, std::uint16_t(age - 1));
        put(e->keyLow, 0u);
        put(e->keyHigh, 0u);
        put(e->move, Move(get(e->move) & 0xFFFF0000u));
    }
}

bool TranspositionTable::cutoffTest(int score, int depthWord, int alpha, int beta, int depth) {
    if (storedDepth(depthWord) < depth) return false;
    const int bound = depthWord & BOUND_MASK;
    if (score >= beta && (bound == BOUND_LOWER || bound == BOUND_EXACT)) return true;
    if (score <= alpha && bound == BOUND_UPPER) return true;
    return bound == BOUND_EXACT;
}

// The count can run a little past the slots (the two spare entries, racing threads): capped.
int TranspositionTable::hashFull() const {
    const std::uint64_t used = used_.load(std::memory_order_relaxed);
    return int(std::min<std::uint64_t>(1000, 1000 * used / slots_));
}

bool BusyMoveSet::testAndSet(unsigned index) {
    std::atomic<std::uint32_t>& word = words_[(index % SIZE) >> 5];
    const std::uint32_t mask = 1u << (index & 31), bits = word.load(std::memory_order_relaxed);
    if (bits & mask) return true;
    word.store(bits | mask, std::memory_order_relaxed);
    return false;
}

void BusyMoveSet::clear(unsigned index) {
    std::atomic<std::uint32_t>& word = words_[(index % SIZE) >> 5];
    const std::uint32_t mask = 1u << (index & 31), bits = word.load(std::memory_order_relaxed);
    if (bits & mask) word.store(bits & ~mask, std::memory_order_relaxed);
}

void BusyMoveSet::clearAll() {
    for (std::atomic<std::uint32_t>& word : words_) word.store(0, std::memory_order_relaxed);
}

}  // namespace zelmora
