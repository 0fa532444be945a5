// The allocation pair: a thin layer over the platform's process-wide allocator, so that every
// module's framework copy shares one heap (and one test seam).
#include "framework/types/oxMemory.h"
#include "platform/oxpMemory.h"

void* oxAllocate(std::size_t n) noexcept {
    return oxp::allocate(n);
}

void oxRelease(void* p) noexcept {
    oxp::release(p);
}
