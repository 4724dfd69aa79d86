#include "util/large_memory.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX  // the C++ runtime may have asked for it already
#define NOMINMAX
#endif
#include <windows.h>

namespace zelmora {

void LargeMemoryDeleter::operator()(void* p) const {
    if (p) VirtualFree(p, 0, MEM_RELEASE);
}

LargeMemory allocateLargeMemory(std::size_t bytes) {
    if (bytes == 0) return LargeMemory(nullptr, LargeMemoryDeleter{0});
    // Committed pages come zero-filled; the system hands them out as they are first touched.
    void* p = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    return LargeMemory(p, LargeMemoryDeleter{p ? bytes : 0});
}

}  // namespace zelmora
