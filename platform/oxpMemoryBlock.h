// The backend's half of the allocation pair: one zero-filled block of the system's allocator
// (calloc, or GlobalAlloc with GMEM_FIXED | GMEM_ZEROINIT), and its release. The seam, the
// minimum size and the counts are portable (oxpMemory.cpp).
#pragma once
#include <cstddef>

namespace oxp::block {
void* allocateZeroed(std::size_t n) noexcept; // null on failure
void release(void* p) noexcept;               // p is never null
} // namespace oxp::block
