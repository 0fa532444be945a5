// Blocks of the C allocator.
#include "platform/oxpMemoryBlock.h"
#include <cstdlib>

namespace oxp::block {
void* allocateZeroed(std::size_t n) noexcept { return std::calloc(n, 1); }
void release(void* p) noexcept { std::free(p); }
} // namespace oxp::block
