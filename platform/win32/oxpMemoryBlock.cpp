// Blocks of global memory: GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT) and GlobalFree.
#include "platform/oxpMemoryBlock.h"
#include <windows.h>

namespace oxp::block {
void* allocateZeroed(std::size_t n) noexcept { return GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, n); }
void release(void* p) noexcept { GlobalFree(p); }
} // namespace oxp::block
