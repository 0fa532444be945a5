// Process-wide allocation pair and its test seams.
#pragma once
#include <cstddef>
#include <cstdint>

namespace oxp {

// GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, max(n, 32)): zero-filled, at least 32 bytes,
// null on failure, never throws.
void* allocate(std::size_t n) noexcept;

// GlobalFree: a null pointer is ignored.
void release(void* p) noexcept;

// How often the process could not get memory: allocations that gave null and module loads that
// failed for want of memory. A host compares it around an operation to tell a result cut short
// by a shortage from a complete one.
std::uint64_t memoryShortages() noexcept;
// Counts one shortage met outside allocate() (a module load).
void noteMemoryShortage() noexcept;

namespace seam {
// Make the k-th allocation from now fail (k = 1: the very next one). With every = true, that
// allocation and every one after it fail until clearAllocationFailure().
void failAllocation(std::uint32_t k, bool every = false) noexcept;
void clearAllocationFailure() noexcept;
// Whether a planned failure is still to come (the allocation it names has not been made).
bool allocationFailurePending() noexcept;
// Number of blocks handed out by allocate() and not yet released.
std::int64_t liveAllocations() noexcept;
} // namespace seam

} // namespace oxp
