// The process-wide allocation pair over the backend's blocks, with a failure seam, a live count
// and a count of shortages, the same on every system.
#include "platform/oxpMemory.h"
#include "platform/oxpMemoryBlock.h"
#include <algorithm>
#include <atomic>

namespace {
constexpr std::size_t minimumBlock = 32;

// Allocations still to go before the planned failure; 0 when none is planned.
std::atomic<std::uint32_t> countdown{0};
std::atomic<bool> failEvery{false};
std::atomic<bool> failingAll{false};
std::atomic<std::int64_t> live{0};
std::atomic<std::uint64_t> shortages{0};

// True when this allocation is the one the seam makes fail.
bool planFails() noexcept {
    if (failingAll.load())
        return true;
    std::uint32_t left = countdown.load();
    while (left != 0 && !countdown.compare_exchange_weak(left, left - 1)) {
    }
    if (left != 1)
        return false;
    if (failEvery.load())
        failingAll.store(true);
    return true;
}
} // namespace

namespace oxp {

void* allocate(std::size_t n) noexcept {
    void* p = planFails() ? nullptr : block::allocateZeroed(std::max(n, minimumBlock));
    if (p)
        ++live;
    else
        ++shortages;
    return p;
}

std::uint64_t memoryShortages() noexcept { return shortages.load(); }

void noteMemoryShortage() noexcept { ++shortages; }

void release(void* p) noexcept {
    if (!p)
        return;
    --live;
    block::release(p);
}

namespace seam {

void failAllocation(std::uint32_t k, bool every) noexcept {
    failingAll.store(false);
    failEvery.store(every);
    countdown.store(k);
}

void clearAllocationFailure() noexcept {
    countdown.store(0);
    failEvery.store(false);
    failingAll.store(false);
}

bool allocationFailurePending() noexcept { return countdown.load() != 0; }

std::int64_t liveAllocations() noexcept { return live.load(); }

} // namespace seam
} // namespace oxp
