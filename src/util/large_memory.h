#pragma once
// Zero-filled memory for big tables, page-aligned, backed by huge pages where the system allows it.
// One back end per system (large_memory_posix.cpp, large_memory_windows.cpp).

#include <cstddef>
#include <memory>

namespace zelmora {

struct LargeMemoryDeleter {
    std::size_t bytes;
    void operator()(void* p) const;
};

using LargeMemory = std::unique_ptr<void, LargeMemoryDeleter>;

// Null when the memory cannot be had.
LargeMemory allocateLargeMemory(std::size_t bytes);

}  // namespace zelmora
