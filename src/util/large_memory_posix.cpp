#include "util/large_memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace zelmora {

namespace {
constexpr std::size_t HUGE_PAGE = std::size_t(2) << 20;
}

void LargeMemoryDeleter::operator()(void* p) const {
    if (p) munmap(p, bytes);
}

LargeMemory allocateLargeMemory(std::size_t bytes) {
    if (bytes == 0) return LargeMemory(nullptr, LargeMemoryDeleter{0});
    // Map a little more and trim both ends so that the block starts on a huge-page boundary.
    const std::size_t mapped = bytes + HUGE_PAGE;
    void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return LargeMemory(nullptr, LargeMemoryDeleter{0});
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const std::size_t head = aligned - start, tail = mapped - head - bytes;
    if (head) munmap(raw, head);
    if (tail) munmap(reinterpret_cast<void*>(aligned + bytes), tail);
    void* p = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
    madvise(p, bytes, MADV_HUGEPAGE);  // fewer page faults and TLB misses on random probes
#endif
    return LargeMemory(p, LargeMemoryDeleter{bytes});
}

}  // namespace zelmora
